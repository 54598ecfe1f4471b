#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

#include "platform/NativePlatform.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

// The temporary name of a copy is longer than its target's; where the target's name is as
// long as file names may be, the copy must still succeed and leave nothing else behind.
TEST(LongFileNameCopyTest, CopyToTheLongestNamesSucceeds) {
    struct Case {
        const char* name;
        std::string target;
    };
    std::string accents;
    for (int i = 0; i < 120; ++i) accents += "\xC3\xA9";  // 240 bytes of UTF-8, 120 characters
    const Case cases[] = {
        {"255 characters", std::string(251, 'n') + ".bgl"},
        {"120 two-byte characters", accents + ".bgl"},
    };
    // Cut at a character's start: 119 whole characters, never half of the 120th.
    EXPECT_EQ(PartialCopyPath(std::string("x") + kSep + accents + ".bgl"),
              std::string("x") + kSep + accents.substr(0, 238) + kPartialCopySuffix);
    auto native = MakeNativePlatform({});
    FileSystem& fs = native->get().fs;
    for (const Case& c : cases) {
        test::TempDir dir;
        test::WriteBytes(dir / "APX47180.bgl", "package file");
        const std::string target = dir / c.target;
        EXPECT_TRUE(fs.CopyFile(dir / "APX47180.bgl", target).ok()) << c.name << ": absent target";
        test::WriteBytes(dir / "APX47180.bgl", "newer package file");
        EXPECT_TRUE(fs.CopyFile(dir / "APX47180.bgl", target).ok()) << c.name << ": existing target";
        EXPECT_EQ(test::ReadBytes(target), "newer package file") << c.name;
        const auto entries = std::distance(std::filesystem::directory_iterator(std::filesystem::u8path(dir.path())),
                                           std::filesystem::directory_iterator{});
        EXPECT_EQ(entries, 2) << c.name << ": a temporary file was left";
    }
}

}  // namespace
}  // namespace orvanta
