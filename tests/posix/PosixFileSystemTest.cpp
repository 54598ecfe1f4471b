#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include "platform/posix/PosixFileSystem.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

TEST(PosixFileSystemTest, ComponentsResolveIgnoringCase) {
    test::TempDir dir;
    PosixFileSystem fs;
    test::WriteBytes(dir / "Scenery/0502/scenery/APX47180.bgl", "data");
    const std::string asked = dir / "SCENERY/0502/Scenery/apx47180.BGL";
    EXPECT_TRUE(fs.Exists(asked));
    EXPECT_EQ(fs.Resolve(asked), dir / "Scenery/0502/scenery/APX47180.bgl");
    std::uint64_t len = 0;
    ASSERT_TRUE(fs.FileLength(asked, len).ok());
    EXPECT_EQ(len, 4u);
    // A new name lands in the existing folders under the name asked for.
    ASSERT_TRUE(fs.RenameFile(asked, dir / "scenery/0502/SCENERY/APX47180.bgl.bglbckup").ok());
    EXPECT_TRUE(test::FileExists(dir / "Scenery/0502/scenery/APX47180.bgl.bglbckup"));
    // A name taken in another case counts as taken.
    test::WriteBytes(dir / "Scenery/0502/scenery/other.bgl", "o");
    EXPECT_EQ(
        fs.RenameFile(dir / "Scenery/0502/scenery/other.bgl", dir / "Scenery/0502/scenery/APX47180.BGL.BGLBCKUP").code,
        kFileExists);
}

TEST(PosixFileSystemTest, ExactNameWinsOverOtherCase) {
    test::TempDir dir;
    PosixFileSystem fs;
    test::WriteBytes(dir / "Scenery/a.bgl", "upper");
    test::WriteBytes(dir / "scenery/a.bgl", "lower");
    std::vector<std::string> lines;
    ASSERT_TRUE(fs.ReadLines(dir / "scenery/a.bgl", lines).ok());
    EXPECT_EQ(lines, std::vector<std::string>{"lower"});
}

TEST(PosixFileSystemTest, ListingReportsLinksWithoutFollowingThem) {
    test::TempDir dir;
    PosixFileSystem fs;
    test::WriteBytes(dir / "outside/keep.txt", "k");
    test::WriteBytes(dir / "cache/file.bin", "f");
    test::MakeFolder(dir / "cache/sub");
    ASSERT_EQ(::symlink((dir / "outside").c_str(), (dir / "cache/link").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "nowhere").c_str(), (dir / "cache/broken").c_str()), 0);
    std::vector<FolderEntry> entries;
    ASSERT_TRUE(fs.ListFolder(dir / "cache", entries).ok());
    std::sort(entries.begin(), entries.end(), [](auto& a, auto& b) { return a.name < b.name; });
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].name, "broken");
    EXPECT_TRUE(entries[0].isLink);
    EXPECT_EQ(entries[1].name, "file.bin");
    EXPECT_FALSE(entries[1].isFolder);
    EXPECT_EQ(entries[2].name, "link");
    EXPECT_TRUE(entries[2].isLink);
    EXPECT_FALSE(entries[2].isFolder);
    EXPECT_TRUE(entries[3].isFolder);
    // Deleting a link removes the link only.
    ASSERT_TRUE(fs.DeleteFile(dir / "cache/link").ok());
    EXPECT_TRUE(test::FileExists(dir / "outside/keep.txt"));
}

TEST(PosixFileSystemTest, ErrnoMapsToOneCodePerKind) {
    EXPECT_EQ(FsCodeFromErrno(ENOENT), kFileNotFound);
    EXPECT_EQ(FsCodeFromErrno(EEXIST), kFileExists);
    EXPECT_EQ(FsCodeFromErrno(EACCES), kPermissionDenied);
    EXPECT_EQ(FsCodeFromErrno(ENOSPC), kDiskFull);
    EXPECT_EQ(FsCodeFromErrno(ENOTDIR), kPathNotFound);
    EXPECT_EQ(FsCodeFromErrno(ENOTEMPTY), kPathFileAccessError);
}

}  // namespace
}  // namespace orvanta

namespace orvanta {
namespace {

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

TEST(PosixFileSystemTest, CopyLeavesNoTemporaryNameAndReplacesAStaleOne) {
    test::TempDir dir;
    PosixFileSystem fs;
    test::WriteBytes(dir / "src.bgl", "new bytes");
    test::WriteBytes(dir / "dst.bgl", "old");
    test::WriteBytes(dir / "dst.bgl.orvanta-partial", "left by a killed run");
    ASSERT_TRUE(fs.CopyFile(dir / "src.bgl", dir / "DST.BGL").ok());
    EXPECT_EQ(test::ReadBytes(dir / "dst.bgl"), "new bytes");
    EXPECT_FALSE(test::FileExists(dir / "dst.bgl.orvanta-partial"));
    ASSERT_TRUE(fs.CopyFile(dir / "src.bgl", dir / "fresh.bgl").ok());
    std::vector<FolderEntry> entries;
    ASSERT_TRUE(fs.ListFolder(dir.path(), entries).ok());
    EXPECT_EQ(entries.size(), 3u);  // src, dst, fresh: nothing else
}

}  // namespace
}  // namespace orvanta
