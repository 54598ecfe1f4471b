#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/FaultInjectingFileSystem.h"
#include "platform/NativePlatform.h"
#include "platform/PathSeparator.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

class FileSystemTest : public ::testing::Test {
protected:
    FileSystem& fs() { return native->get().fs; }
    std::string At(const std::string& rel) { return dir / rel; }
    std::unique_ptr<NativePlatform> native = MakeNativePlatform({});
    test::TempDir dir;
};

TEST_F(FileSystemTest, CopyKeepsModificationTimeAndReplacesTarget) {
    test::WriteBytes(At("src.bgl"), "new content");
    test::SetLocalModifiedTime(At("src.bgl"), 2019, 5, 4, 3, 2, 1);
    test::WriteBytes(At("dst.bgl"), "old");
    ASSERT_TRUE(fs().CopyFile(At("src.bgl"), At("dst.bgl")).ok());
    EXPECT_EQ(test::ReadBytes(At("dst.bgl")), "new content");
    LocalDateTime t;
    ASSERT_TRUE(fs().ModifiedTime(At("dst.bgl"), t).ok());
    EXPECT_EQ(t, (LocalDateTime{2019, 5, 4, 3, 2, 1}));
    std::vector<FolderEntry> entries;
    ASSERT_TRUE(fs().ListFolder(dir.path(), entries).ok());
    EXPECT_EQ(entries.size(), 2u) << "no temporary file is left behind";
}

TEST_F(FileSystemTest, FailedCopyLeavesTargetUntouched) {
    test::WriteBytes(At("dst.bgl"), "old");
    EXPECT_EQ(fs().CopyFile(At("absent.bgl"), At("dst.bgl")).code, kFileNotFound);
    EXPECT_EQ(test::ReadBytes(At("dst.bgl")), "old");
    test::WriteBytes(At("src.bgl"), "x");
    EXPECT_FALSE(fs().CopyFile(At("src.bgl"), At("no/such/folder/dst.bgl")).ok());
}

TEST_F(FileSystemTest, ReadOnlyTargetIsNotReplaced) {
    namespace sfs = std::filesystem;
    test::WriteBytes(At("src.bgl"), "new");
    test::WriteBytes(At("dst.bgl"), "old");
    sfs::permissions(sfs::u8path(At("dst.bgl")), sfs::perms::owner_write, sfs::perm_options::remove);
    EXPECT_EQ(fs().CopyFile(At("src.bgl"), At("dst.bgl")).code, kPermissionDenied);
    sfs::permissions(sfs::u8path(At("dst.bgl")), sfs::perms::owner_write, sfs::perm_options::add);
    EXPECT_EQ(test::ReadBytes(At("dst.bgl")), "old");
    std::vector<FolderEntry> entries;
    ASSERT_TRUE(fs().ListFolder(dir.path(), entries).ok());
    EXPECT_EQ(entries.size(), 2u) << "no temporary file is left behind";
    ASSERT_TRUE(fs().CopyFile(At("src.bgl"), At("dst.bgl")).ok()) << "writable again, it is replaced";
    EXPECT_EQ(test::ReadBytes(At("dst.bgl")), "new");
}

TEST_F(FileSystemTest, RenameRefusesAnExistingName) {
    test::WriteBytes(At("a.bgl"), "a");
    test::WriteBytes(At("b.bgl"), "b");
    EXPECT_EQ(fs().RenameFile(At("a.bgl"), At("b.bgl")).code, kFileExists);
    EXPECT_EQ(test::ReadBytes(At("a.bgl")), "a");
    EXPECT_EQ(test::ReadBytes(At("b.bgl")), "b");
    ASSERT_TRUE(fs().RenameFile(At("a.bgl"), At("c.bgl")).ok());
    EXPECT_FALSE(test::FileExists(At("a.bgl")));
    EXPECT_EQ(test::ReadBytes(At("c.bgl")), "a");
    EXPECT_EQ(fs().RenameFile(At("a.bgl"), At("d.bgl")).code, kFileNotFound);
}

TEST_F(FileSystemTest, DeleteAndQueriesReportStableCodes) {
    EXPECT_EQ(fs().DeleteFile(At("none")).code, kFileNotFound);
    std::uint64_t len = 0;
    EXPECT_EQ(fs().FileLength(At("none"), len).code, kFileNotFound);
    LocalDateTime t;
    EXPECT_EQ(fs().ModifiedTime(At("none"), t).code, kFileNotFound);
    test::MakeFolder(At("folder"));
    EXPECT_FALSE(fs().DeleteFile(At("folder")).ok());
    EXPECT_TRUE(fs().Exists(At("folder")));
    EXPECT_TRUE(fs().IsFolder(At("folder")));
    test::WriteBytes(At("folder/f"), "1");
    EXPECT_FALSE(fs().RemoveEmptyFolder(At("folder")).ok());
    ASSERT_TRUE(fs().DeleteFile(At("folder/f")).ok());
    EXPECT_TRUE(fs().RemoveEmptyFolder(At("folder")).ok());
    EXPECT_FALSE(fs().Exists(At("folder")));
}

TEST_F(FileSystemTest, ReadLinesAcceptsEveryLineEnd) {
    test::WriteBytes(At("l.txt"), "a\r\nb\nc\rd");
    std::vector<std::string> lines;
    ASSERT_TRUE(fs().ReadLines(At("l.txt"), lines).ok());
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c", "d"}));
    test::WriteBytes(At("l.txt"), "\r\n\r\n");
    ASSERT_TRUE(fs().ReadLines(At("l.txt"), lines).ok());
    EXPECT_EQ(lines, (std::vector<std::string>{"", ""}));
}

TEST_F(FileSystemTest, ReadBytesAtOffsetStopsAtTheEnd) {
    test::WriteBytes(At("m.bgl"), std::string("0123456789"));
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(fs().ReadBytes(At("m.bgl"), 7, 5, bytes).ok());
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "789");
}

TEST_F(FileSystemTest, ReadOnlyAttributeIsClearedToNormal) {
    test::WriteBytes(At("ro.bgl"), "x");
    std::filesystem::permissions(std::filesystem::u8path(At("ro.bgl")), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    std::uint32_t attrs = 0;
    ASSERT_TRUE(fs().GetAttributes(At("ro.bgl"), attrs).ok());
    EXPECT_NE(attrs & kAttrReadOnly, 0u);
    ASSERT_TRUE(fs().SetNormalAttributes(At("ro.bgl")).ok());
    ASSERT_TRUE(fs().GetAttributes(At("ro.bgl"), attrs).ok());
    EXPECT_EQ(attrs & (kAttrReadOnly | kAttrHidden | kAttrSystem), 0u);
}

TEST_F(FileSystemTest, NonAsciiNamesWork) {
    const std::string name = At("Z\xC3\xBCrich-\xE6\x9D\xB1\xE4\xBA\xAC.bgl");
    ASSERT_TRUE(fs().WriteFile(name, "x").ok());
    EXPECT_TRUE(fs().Exists(name));
    EXPECT_EQ(test::ReadBytes(name), "x");
}

TEST(FaultInjectingFileSystemTest, FailsByNumberAndByPathAndCountsEverything) {
    test::TempDir dir;
    auto native = MakeNativePlatform({});
    FaultInjectingFileSystem faulty(native->get().fs);
    test::WriteBytes(dir / "a", "a");
    faulty.FailOperation(2, kPermissionDenied);
    faulty.FailPathsContaining("locked", kPathFileAccessError);
    std::uint64_t len = 0;
    EXPECT_TRUE(faulty.FileLength(dir / "a", len).ok());
    EXPECT_EQ(faulty.CopyFile(dir / "a", dir / "b").code, kPermissionDenied);
    EXPECT_FALSE(test::FileExists(dir / "b")) << "a failed operation does nothing";
    EXPECT_TRUE(faulty.CopyFile(dir / "a", dir / "b").ok());
    EXPECT_EQ(faulty.RenameFile(dir / "b", dir / "locked").code, kPathFileAccessError);
    EXPECT_TRUE(faulty.Exists(dir / "b"));
    EXPECT_EQ(faulty.OperationCount(), 4);
    EXPECT_EQ(faulty.FaultsInjected(), 2);
    ASSERT_EQ(faulty.Journal().size(), 4u);
    EXPECT_EQ(faulty.Journal()[0].rfind("FileLength ", 0), 0u);
}

}  // namespace
}  // namespace orvanta
