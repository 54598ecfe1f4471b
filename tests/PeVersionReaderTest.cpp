#include <gtest/gtest.h>

#include "platform/PeVersionReader.h"
#include "tools/PeImage.h"

namespace orvanta {
namespace {

FileVersion ReadBytes(const std::string& bytes) {
    return ReadPeFileVersion(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

TEST(PeVersionReaderTest, ReadsTheFileVersionOfEachKindOfExecutable) {
    const struct {
        const char* name;
        // PE32+, the four numbers, a version resource, its fixed block, language, an icon
        // before it that holds the fixed block's signature, strings after the block.
        tools::PeImageSpec spec;
        FileVersion version;  // zero: none found
    } cases[] = {
        {"PE32", {false, 10, 0, 61637, 0}, {10, 0, 61637, 0}},
        {"PE32+", {true, 4, 5, 12, 30293}, {4, 5, 12, 30293}},
        {"full 16-bit numbers", {false, 65535, 1, 65534, 65535}, {65535, 1, 65534, 65535}},
        {"after an icon holding the signature, in German", {true, 3, 4, 5, 6, true, true, 0x407, true}, {3, 4, 5, 6}},
        {"language neutral, no strings", {true, 3, 4, 5, 6, true, true, 0, false, false}, {3, 4, 5, 6}},
        {"no version resource", {true, 1, 2, 3, 4, false, true, 0x409, true}, {}},
        {"a version resource with strings only", {true, 1, 2, 3, 4, true, false}, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadBytes(tools::MakePeImage(c.spec)), c.version) << c.name;
    for (const char* notAnExecutable : {"", "MZ", "This is a text file, not a program.\r\n"}) {
        EXPECT_TRUE(ReadBytes(notAnExecutable).IsZero()) << notAnExecutable;
    }
}

TEST(PeVersionReaderTest, StructuresPointingOutsideTheFileGiveZero) {
    tools::PeImageLayout at;
    const std::string good = tools::MakePeImage({false, 10, 0, 62615, 0}, &at);
    ASSERT_EQ(ReadBytes(good), (FileVersion{10, 0, 62615, 0}));
    const struct {
        const char* name;
        std::size_t offset;
        std::uint32_t value;
        int size;  // bytes written, little-endian
    } cases[] = {
        {"PE header beyond the end", 0x3C, 0xFFFFFFF0u, 4},
        {"no PE signature", at.peHeader + 1, 'X', 1},
        {"neither PE32 nor PE32+", at.optionalHeader, 0x07, 1},
        {"version data outside every section", at.versionDataEntry, 0x7FFFFFF0u, 4},
        {"data size beyond the section", at.versionDataEntry + 4, 0xFFFFFFFFu, 4},
        {"section data beyond the end", at.sectionTable + 20, 0x7FFFFF00u, 4},
        {"the section has no data in the file", at.sectionTable + 16, 0, 4},
        {"no fixed block signature", at.fixedInfo, 0, 4},
        {"255 entries in a 1-entry root", at.resourceSection + 12, 0x00FF00FFu, 4},
    };
    for (const auto& c : cases) {
        std::string b = good;
        for (int i = 0; i < c.size; ++i) b[c.offset + i] = static_cast<char>((c.value >> (8 * i)) & 0xFF);
        EXPECT_TRUE(ReadBytes(b).IsZero()) << c.name;
    }
}

TEST(PeVersionReaderTest, EveryTruncationGivesZeroOrTheWholeVersion) {
    tools::PeImageLayout at;
    const std::string good = tools::MakePeImage({true, 2, 4, 1408, 0}, &at);
    for (std::size_t n = 0; n < good.size(); ++n) {
        const FileVersion v = ReadBytes(good.substr(0, n));
        EXPECT_TRUE(v.IsZero() || (n >= at.fixedInfo + 52 && v == FileVersion{2, 4, 1408, 0})) << n;
    }
}

}  // namespace
}  // namespace orvanta
