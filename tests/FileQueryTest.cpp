#include <gtest/gtest.h>

#include <filesystem>

#include "platform/NativePlatform.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

// One query answers what the scan and the write-protection check need, on each platform's
// own file system. Nothing there is an answer, not a failure.
TEST(FileQueryTest, OneQueryGivesExistenceLengthDateAndAttributes) {
    test::TempDir dir;
    std::unique_ptr<NativePlatform> native = MakeNativePlatform({});
    FileSystem& fs = native->get().fs;
    test::WriteBytes(dir / "Scenery/APX47180.bgl", "twelve bytes");
    test::SetLocalModifiedTime(dir / "Scenery/APX47180.bgl", 2019, 5, 4, 3, 2, 1);
    test::WriteBytes(dir / "Scenery/locked.bgl", "ro");
    namespace sfs = std::filesystem;
    sfs::permissions(sfs::u8path(dir / "Scenery/locked.bgl"), sfs::perms::owner_write, sfs::perm_options::remove);

    struct Case {
        const char* name;
        const char* path;
        bool exists, isFolder;
        std::uint64_t length;
        std::uint32_t protection;  // read-only, hidden, system
    } cases[] = {
        {"a file", "Scenery/APX47180.bgl", true, false, 12, 0},
        {"a file named in another case", "scenery/apx47180.BGL", true, false, 12, 0},
        {"a read-only file", "Scenery/locked.bgl", true, false, 2, kAttrReadOnly},
        {"a folder", "Scenery", true, true, 0, 0},
        {"no such file", "Scenery/APX47180.bgl.bglbckup", false, false, 0, 0},
        {"no such folder", "Absent/APX47180.bgl", false, false, 0, 0},
    };
    for (const Case& c : cases) {
        FileInfo info;
        ASSERT_TRUE(fs.QueryFile(dir / c.path, info).ok()) << c.name;
        EXPECT_EQ(info.exists, c.exists) << c.name;
        EXPECT_EQ(info.isFolder, c.isFolder) << c.name;
        EXPECT_EQ((info.attributes & kAttrDirectory) != 0, c.isFolder) << c.name;
        EXPECT_EQ(info.length, c.length) << c.name;
        EXPECT_EQ(info.attributes & (kAttrReadOnly | kAttrHidden | kAttrSystem), c.protection) << c.name;
    }
    FileInfo info;
    ASSERT_TRUE(fs.QueryFile(dir / "Scenery/APX47180.bgl", info).ok());
    EXPECT_EQ(info.modified, (LocalDateTime{2019, 5, 4, 3, 2, 1}));
    sfs::permissions(sfs::u8path(dir / "Scenery/locked.bgl"), sfs::perms::owner_write, sfs::perm_options::add);
}

}  // namespace
}  // namespace orvanta
