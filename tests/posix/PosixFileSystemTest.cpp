#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/posix/PosixFileSystem.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

TEST(PosixFileSystemTest, ExactNameWinsOverOtherCase) {
    test::TempDir dir;
    PosixFileSystem fs;
    test::WriteBytes(dir / "Scenery/a.bgl", "upper");
    test::WriteBytes(dir / "scenery/a.bgl", "lower");
    std::vector<std::string> lines;
    ASSERT_TRUE(fs.ReadLines(dir / "scenery/a.bgl", lines).ok());
    EXPECT_EQ(lines, std::vector<std::string>{"lower"});
}

TEST(PosixFileSystemTest, ErrnoMapsToOneCodePerKind) {
    const std::pair<int, int> cases[] = {
        {ENOENT, kFileNotFound},           {EEXIST, kFileExists}, {EACCES, kPermissionDenied},
        {EPERM, kPermissionDenied},        {ENOSPC, kDiskFull},   {ENOTDIR, kPathNotFound},
        {ENOTEMPTY, kPathFileAccessError}, {EIO, kDeviceIoError}};
    for (const auto& [error, code] : cases) EXPECT_EQ(FsCodeFromErrno(error), code) << error;
}

// Folder listings are kept for the case-insensitive lookups once a folder has not changed
// for two seconds; whatever changes the folder afterwards must show at the next lookup.
TEST(PosixFileSystemTest, KeptListingsFollowEveryChangeOfTheFolder) {
    test::TempDir dir;
    PosixFileSystem fs(PosixFileSystem::Watching::Never);
    test::WriteBytes(dir / "Scenery/APX1.bgl", "1");
    EXPECT_FALSE(fs.Exists(dir / "Scenery/apx2.bgl"));
    ::sleep(3);  // the folder is now old enough for its listing to be kept
    EXPECT_TRUE(fs.Exists(dir / "scenery/apx1.BGL"));
    EXPECT_FALSE(fs.Exists(dir / "Scenery/apx2.bgl"));

    test::WriteBytes(dir / "Scenery/APX2.BGL", "2");  // by another program
    EXPECT_TRUE(fs.Exists(dir / "Scenery/apx2.bgl"));
    ASSERT_EQ(::unlink((dir / "Scenery/APX1.bgl").c_str()), 0);
    EXPECT_FALSE(fs.Exists(dir / "Scenery/apx1.bgl"));
    ASSERT_TRUE(fs.RenameFile(dir / "Scenery/apx2.bgl", dir / "Scenery/Apx3.bgl").ok());
    EXPECT_TRUE(fs.Exists(dir / "Scenery/APX3.BGL"));
    EXPECT_FALSE(fs.Exists(dir / "Scenery/APX2.BGL"));
}

TEST(PosixFileSystemTest, ACopyReplacesATemporaryFileLeftByAKilledRun) {
    test::TempDir dir;
    PosixFileSystem fs;
    test::WriteBytes(dir / "src.bgl", "new bytes");
    test::WriteBytes(dir / "dst.bgl.orvanta-partial", "left by a killed run");
    ASSERT_TRUE(fs.CopyFile(dir / "src.bgl", dir / "dst.bgl").ok());
    EXPECT_EQ(test::ReadBytes(dir / "dst.bgl"), "new bytes");
    EXPECT_FALSE(test::FileExists(dir / "dst.bgl.orvanta-partial"));
}

}  // namespace
}  // namespace orvanta
