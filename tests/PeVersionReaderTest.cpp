#include <gtest/gtest.h>

#include <random>

#include "platform/NativePlatform.h"
#include "platform/PathSeparator.h"
#include "platform/PeVersionReader.h"
#include "support/TempDir.h"
#include "tools/PeImage.h"

namespace orvanta {
namespace {

FileVersion ReadBytes(const std::string& bytes) {
    return ReadPeFileVersion(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

tools::PeImageSpec Spec(bool pe32Plus, std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d) {
    tools::PeImageSpec s;
    s.pe32Plus = pe32Plus;
    s.major = a;
    s.minor = b;
    s.build = c;
    s.revision = d;
    return s;
}

void Put32(std::string& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

TEST(PeVersionReaderTest, ReadsPe32AndPe32Plus) {
    for (bool plus : {false, true}) {
        EXPECT_EQ(ReadBytes(tools::MakePeImage(Spec(plus, 10, 0, 61637, 0))), (FileVersion{10, 0, 61637, 0})) << plus;
        EXPECT_EQ(ReadBytes(tools::MakePeImage(Spec(plus, 4, 5, 12, 30293))), (FileVersion{4, 5, 12, 30293})) << plus;
        // Each number is a full unsigned 16-bit value.
        EXPECT_EQ(ReadBytes(tools::MakePeImage(Spec(plus, 65535, 1, 65534, 65535))),
                  (FileVersion{65535, 1, 65534, 65535}))
            << plus;
    }
}

TEST(PeVersionReaderTest, VersionResourceIsFoundAmongOthersAndInAnyLanguage) {
    tools::PeImageSpec s = Spec(true, 3, 4, 5, 6);
    s.decoyIcon = true;  // an earlier resource holding the signature must not be taken
    s.language = 0x407;
    EXPECT_EQ(ReadBytes(tools::MakePeImage(s)), (FileVersion{3, 4, 5, 6}));
    s.stringFileInfo = false;
    s.language = 0;
    EXPECT_EQ(ReadBytes(tools::MakePeImage(s)), (FileVersion{3, 4, 5, 6}));
}

TEST(PeVersionReaderTest, NoVersionGivesZero) {
    tools::PeImageSpec s = Spec(true, 1, 2, 3, 4);
    s.versionResource = false;
    s.decoyIcon = true;
    EXPECT_TRUE(ReadBytes(tools::MakePeImage(s)).IsZero());
    s.versionResource = true;
    s.fixedInfo = false;  // a version resource with strings only
    EXPECT_TRUE(ReadBytes(tools::MakePeImage(s)).IsZero());
    EXPECT_TRUE(ReadBytes("").IsZero());
    EXPECT_TRUE(ReadBytes("MZ").IsZero());
    EXPECT_TRUE(ReadBytes("This is a text file, not a program.\r\n").IsZero());
}

TEST(PeVersionReaderTest, StructuresPointingOutsideTheFileGiveZero) {
    tools::PeImageLayout at;
    const std::string good = tools::MakePeImage(Spec(false, 10, 0, 62615, 0), &at);
    ASSERT_EQ(ReadBytes(good), (FileVersion{10, 0, 62615, 0}));

    std::string b = good;
    Put32(b, 0x3C, 0xFFFFFFF0u);  // PE header far beyond the end
    EXPECT_TRUE(ReadBytes(b).IsZero());
    b = good;
    b[at.peHeader + 1] = 'X';  // no PE signature
    EXPECT_TRUE(ReadBytes(b).IsZero());
    b = good;
    b[at.optionalHeader] = 0x07;  // neither PE32 nor PE32+
    EXPECT_TRUE(ReadBytes(b).IsZero());
    b = good;
    Put32(b, at.versionDataEntry, 0x7FFFFFF0u);  // version data outside every section
    EXPECT_TRUE(ReadBytes(b).IsZero());
    b = good;
    Put32(b, at.versionDataEntry + 4, 0xFFFFFFFFu);  // data size beyond the section
    EXPECT_TRUE(ReadBytes(b).IsZero());
    b = good;
    Put32(b, at.sectionTable + 20, 0x7FFFFF00u);  // section data beyond the end of the file
    EXPECT_TRUE(ReadBytes(b).IsZero());
    b = good;
    Put32(b, at.sectionTable + 16, 0);  // the section has no data in the file
    EXPECT_TRUE(ReadBytes(b).IsZero());
    b = good;
    Put32(b, at.fixedInfo, 0);  // the signature is how the fixed block is recognised
    EXPECT_TRUE(ReadBytes(b).IsZero());
    b = good;
    b[at.resourceSection + 14] = static_cast<char>(0xFF);  // 255 entries in a 1-entry root
    b[at.resourceSection + 12] = static_cast<char>(0xFF);
    EXPECT_TRUE(ReadBytes(b).IsZero());
}

TEST(PeVersionReaderTest, EveryTruncationGivesZeroOrTheWholeVersion) {
    tools::PeImageLayout at;
    const std::string good = tools::MakePeImage(Spec(true, 2, 4, 1408, 0), &at);
    for (std::size_t n = 0; n < good.size(); ++n) {
        const FileVersion v = ReadBytes(good.substr(0, n));
        if (n < at.fixedInfo + 52) {
            EXPECT_TRUE(v.IsZero()) << n;
        } else {
            EXPECT_TRUE(v.IsZero() || v == (FileVersion{2, 4, 1408, 0})) << n;
        }
    }
}

TEST(PeVersionReaderTest, RandomDamageStaysInBounds) {
    // Under the sanitizers this proves no damaged executable leads the reader outside its
    // bytes; an answer is either zero or numbers read from the file.
    tools::PeImageLayout at;
    const std::string good = tools::MakePeImage(Spec(true, 7, 7, 7, 7), &at);
    std::mt19937 random(62607);
    int unchanged = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string b = good;
        const std::size_t span = at.fixedInfo + 52;  // headers and resource tree
        for (int flips = 0; flips < 3; ++flips) b[random() % span] = static_cast<char>(random() % 256);
        if (ReadBytes(b) == FileVersion{7, 7, 7, 7}) ++unchanged;
    }
    EXPECT_GT(unchanged, 0);  // damage to unused header bytes does not matter
}

TEST(NativeFileVersionsTest, AgreesWithTheReaderOnGeneratedExecutables) {
    // On Windows the system's version API answers, elsewhere the reader above: both must
    // read the generated files alike, which also proves the generator writes what Windows
    // accepts.
    test::TempDir dir;
    auto native = MakeNativePlatform({});
    FileVersions& versions = native->get().versions;
    int n = 0;
    for (bool plus : {false, true}) {
        for (bool decoy : {false, true}) {
            tools::PeImageSpec s = Spec(plus, 10, 0, 61637, 3);
            s.decoyIcon = decoy;
            s.language = decoy ? 0 : 0x409;
            const std::string path = dir / ("v" + std::to_string(n++) + ".exe");
            test::WriteBytes(path, tools::MakePeImage(s));
            EXPECT_EQ(versions.Read(path), (FileVersion{10, 0, 61637, 3})) << plus << decoy;
        }
    }
    tools::PeImageSpec none = Spec(true, 1, 2, 3, 4);
    none.fixedInfo = false;
    test::WriteBytes(dir / "none.exe", tools::MakePeImage(none));
    EXPECT_TRUE(versions.Read(dir / "none.exe").IsZero());
    test::WriteBytes(dir / "text.exe", "plain text");
    EXPECT_TRUE(versions.Read(dir / "text.exe").IsZero());
    EXPECT_TRUE(versions.Read(dir / "absent.exe").IsZero());
}

}  // namespace
}  // namespace orvanta
