#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "platform/FaultInjectingFileSystem.h"
#include "platform/NativePlatform.h"
#include "platform/PathSeparator.h"
#include "support/MemoryFileSystem.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

// The rules every file system of the installer keeps: the one of the platform, on a
// temporary folder, and the in-memory one that the fault sweep and the fuzzers use in its
// place (with Windows' rules: names match ignoring case, a rename never replaces).
class FileSystemContractTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        if (memory_) memoryFs_.AddFolder(root_);
    }

    FileSystem& fs() { return memory_ ? static_cast<FileSystem&>(memoryFs_) : native_->get().fs; }
    std::string At(const std::string& relative) const { return root_ + kSep + test::NativeRelative(relative); }

    void Write(const std::string& relative, const std::string& bytes, LocalDateTime time = {2019, 5, 4, 3, 2, 1}) {
        if (memory_) return memoryFs_.AddFile(At(relative), bytes, time);
        test::WriteBytes(At(relative), bytes);
        test::SetLocalModifiedTime(At(relative), time.year, time.month, time.day, time.hour, time.minute, time.second);
    }
    void MakeReadOnly(const std::string& relative) {
        if (memory_) {
            const auto* node = memoryFs_.Find(At(relative));
            return memoryFs_.AddFile(At(relative), *node->content, node->modified, kAttrReadOnly);
        }
        namespace sfs = std::filesystem;
        sfs::permissions(sfs::u8path(At(relative)), sfs::perms::owner_write, sfs::perm_options::remove);
    }
    std::string Read(const std::string& relative) {
        std::vector<std::uint8_t> bytes;
        if (!fs().ReadBytes(At(relative), 0, 1 << 20, bytes)) return "(unreadable)";
        return std::string(bytes.begin(), bytes.end());
    }
    std::vector<std::string> Names(const std::string& relative) {
        std::vector<FolderEntry> entries;
        EXPECT_TRUE(fs().ListFolder(At(relative), entries).ok());
        std::vector<std::string> names;
        for (const FolderEntry& e : entries) names.push_back(e.name + (e.isLink ? "@" : e.isFolder ? "/" : ""));
        std::sort(names.begin(), names.end());
        return names;
    }

    bool memory_ = std::string(GetParam()) == "memory";
    test::TempDir dir_;
    std::string root_ = memory_ ? std::string(1, kSep) + "r" : dir_.path();
    std::unique_ptr<NativePlatform> native_ = MakeNativePlatform({});
    test::MemoryFileSystem memoryFs_;
};

INSTANTIATE_TEST_SUITE_P(, FileSystemContractTest, ::testing::Values("native", "memory"));

TEST_P(FileSystemContractTest, CopyReplacesInOneStepAndKeepsTheSourceTime) {
    Write("d/src.bgl", "new content", {2019, 5, 4, 3, 2, 1});
    Write("d/dst.bgl", "old");
    ASSERT_TRUE(fs().CopyFile(At("d/src.bgl"), At("D/DST.BGL")).ok());
    EXPECT_EQ(Read("d/dst.bgl"), "new content");
    LocalDateTime t;
    ASSERT_TRUE(fs().ModifiedTime(At("d/dst.bgl"), t).ok());
    EXPECT_EQ(t, (LocalDateTime{2019, 5, 4, 3, 2, 1}));
    EXPECT_EQ(Names("d"), (std::vector<std::string>{"dst.bgl", "src.bgl"}));  // no temporary file left

    // What cannot be copied leaves the target as it was and nothing beside it.
    EXPECT_EQ(fs().CopyFile(At("d/absent.bgl"), At("d/dst.bgl")).code, kFileNotFound);
    EXPECT_FALSE(fs().CopyFile(At("d/src.bgl"), At("no/such/folder/dst.bgl")).ok());
    MakeReadOnly("d/dst.bgl");
    EXPECT_EQ(fs().CopyFile(At("d/src.bgl"), At("d/dst.bgl")).code, kPermissionDenied);
    EXPECT_EQ(Read("d/dst.bgl"), "new content");
    EXPECT_EQ(Names("d"), (std::vector<std::string>{"dst.bgl", "src.bgl"}));
}

TEST_P(FileSystemContractTest, RenameNeverReplacesAndNamesMatchIgnoringCase) {
    Write("Scenery/0501/scenery/APX47180.bgl", "mine");
    Write("Scenery/0501/scenery/other.bgl", "theirs");
    EXPECT_TRUE(fs().Exists(At("SCENERY/0501/Scenery/apx47180.BGL")));
    std::uint64_t length = 0;
    ASSERT_TRUE(fs().FileLength(At("scenery/0501/SCENERY/apx47180.bgl"), length).ok());
    EXPECT_EQ(length, 4u);

    EXPECT_EQ(fs().RenameFile(At("Scenery/0501/scenery/other.bgl"), At("scenery/0501/scenery/APX47180.BGL")).code,
              kFileExists);
    EXPECT_EQ(fs().RenameFile(At("Scenery/0501/scenery/missing.bgl"), At("Scenery/x.bgl")).code, kFileNotFound);
    // A new name lands in the existing folders, under the name asked for.
    ASSERT_TRUE(
        fs().RenameFile(At("scenery/0501/SCENERY/APX47180.bgl"), At("SCENERY/0501/scenery/APX47180.bgl.bglbckup"))
            .ok());
    EXPECT_EQ(Names("Scenery/0501/scenery"), (std::vector<std::string>{"APX47180.bgl.bglbckup", "other.bgl"}));
    EXPECT_EQ(Read("Scenery/0501/scenery/APX47180.bgl.bglbckup"), "mine");
    EXPECT_EQ(Read("Scenery/0501/scenery/other.bgl"), "theirs");
}

TEST_P(FileSystemContractTest, FailuresReportStableCodes) {
    std::uint64_t length = 0;
    LocalDateTime t;
    std::vector<std::string> lines;
    EXPECT_EQ(fs().DeleteFile(At("none")).code, kFileNotFound);
    EXPECT_EQ(fs().FileLength(At("none"), length).code, kFileNotFound);
    EXPECT_EQ(fs().ModifiedTime(At("none"), t).code, kFileNotFound);
    EXPECT_EQ(fs().ReadLines(At("none"), lines).code, kFileNotFound);
    EXPECT_FALSE(fs().WriteFile(At("no/folder/x"), "y").ok());

    Write("folder/f", "1");
    EXPECT_TRUE(fs().IsFolder(At("folder")));
    EXPECT_FALSE(fs().IsFolder(At("folder/f")));
    EXPECT_FALSE(fs().DeleteFile(At("folder")).ok());
    EXPECT_FALSE(fs().RemoveEmptyFolder(At("folder")).ok());
    ASSERT_TRUE(fs().DeleteFile(At("folder/f")).ok());
    ASSERT_TRUE(fs().RemoveEmptyFolder(At("folder")).ok());
    EXPECT_FALSE(fs().Exists(At("folder")));
}

TEST_P(FileSystemContractTest, ReadsLinesBytesAndAttributes) {
    Write("l.txt", "a\r\nb\nc\rd");
    std::vector<std::string> lines;
    ASSERT_TRUE(fs().ReadLines(At("l.txt"), lines).ok());
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c", "d"}));
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(fs().ReadBytes(At("l.txt"), 5, 5, bytes).ok());
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "c\rd");
    ASSERT_TRUE(fs().WriteFile(At("l.txt"), "\r\n\r\n").ok());
    ASSERT_TRUE(fs().ReadLines(At("l.txt"), lines).ok());
    EXPECT_EQ(lines, (std::vector<std::string>{"", ""}));

    MakeReadOnly("l.txt");
    std::uint32_t attributes = 0;
    ASSERT_TRUE(fs().GetAttributes(At("l.txt"), attributes).ok());
    EXPECT_NE(attributes & kAttrReadOnly, 0u);
    ASSERT_TRUE(fs().SetNormalAttributes(At("l.txt")).ok());
    ASSERT_TRUE(fs().GetAttributes(At("l.txt"), attributes).ok());
    EXPECT_EQ(attributes & (kAttrReadOnly | kAttrHidden | kAttrSystem), 0u);

    const std::string name = "Z\xC3\xBCrich-\xE6\x9D\xB1\xE4\xBA\xAC.bgl";
    ASSERT_TRUE(fs().WriteFile(At(name), "x").ok());
    EXPECT_EQ(Read(name), "x");
}

// One query answers the scan and the write-protection check; nothing there is an answer.
TEST_P(FileSystemContractTest, OneQueryGivesExistenceLengthDateAndProtection) {
    Write("Scenery/APX47180.bgl", "twelve bytes", {2019, 5, 4, 23, 2, 1});
    Write("Scenery/locked.bgl", "ro", {2020, 1, 2, 3, 4, 5});
    MakeReadOnly("Scenery/locked.bgl");
    struct Case {
        const char* name;
        const char* path;
        bool exists;
        std::uint64_t length;
        LocalDateTime modified;
        std::uint32_t protection;  // read-only, hidden, system
    } cases[] = {
        {"a file", "Scenery/APX47180.bgl", true, 12, {2019, 5, 4, 23, 2, 1}, 0},
        {"a file named in another case", "scenery/apx47180.BGL", true, 12, {2019, 5, 4, 23, 2, 1}, 0},
        {"a read-only file", "Scenery/locked.bgl", true, 2, {2020, 1, 2, 3, 4, 5}, kAttrReadOnly},
        {"no such file", "Scenery/APX47180.bgl.bglbckup", false, 0, {}, 0},
        {"no such folder", "Absent/APX47180.bgl", false, 0, {}, 0},
    };
    for (const Case& c : cases) {
        FileInfo info;
        ASSERT_TRUE(fs().QueryFile(At(c.path), info).ok()) << c.name;
        EXPECT_EQ(info.exists, c.exists) << c.name;
        EXPECT_EQ(info.length, c.length) << c.name;
        EXPECT_EQ(info.modified, c.modified) << c.name;
        EXPECT_EQ(info.attributes & (kAttrReadOnly | kAttrHidden | kAttrSystem), c.protection) << c.name;
    }
}

#ifndef _WIN32  // Wine shows links as plain files or folders; they are a Linux user's concern.
TEST_P(FileSystemContractTest, LinksAreListedAsLinksAndNeverEntered) {
    Write("outside/keep.txt", "k");
    Write("cache/sub/file.bin", "f");
    if (memory_) {
        memoryFs_.AddLink(At("cache/link"), At("outside"), true);
    } else {
        ASSERT_EQ(::symlink(At("outside").c_str(), At("cache/link").c_str()), 0);
        ASSERT_EQ(::symlink(At("nowhere").c_str(), At("cache/broken").c_str()), 0);
    }
    std::vector<std::string> expected = {"link@", "sub/"};
    if (!memory_) expected.insert(expected.begin(), "broken@");
    EXPECT_EQ(Names("cache"), expected);
    std::uint32_t attributes = 0;
    ASSERT_TRUE(fs().GetAttributes(At("cache/link"), attributes).ok());
    EXPECT_NE(attributes & kAttrReparsePoint, 0u);
}
#endif

TEST(FaultInjectingFileSystemTest, FailsByNumberByPathAndFromAPointOn) {
    test::MemoryFileSystem memory;
    memory.AddFile(std::string(1, kSep) + "a", "a");
    const std::string a = std::string(1, kSep) + "a", b = std::string(1, kSep) + "b";
    FaultInjectingFileSystem faulty(memory);
    faulty.FailOperation(2, kPermissionDenied);
    faulty.FailPathsContaining("locked", kPathFileAccessError);
    std::uint64_t length = 0;
    EXPECT_TRUE(faulty.FileLength(a, length).ok());
    EXPECT_EQ(faulty.CopyFile(a, b).code, kPermissionDenied);
    EXPECT_FALSE(memory.Exists(b)) << "a failed operation does nothing";
    EXPECT_TRUE(faulty.CopyFile(a, b).ok());
    EXPECT_EQ(faulty.RenameFile(b, b + "locked").code, kPathFileAccessError);
    faulty.FailFrom(6, kDeviceIoError);
    EXPECT_TRUE(faulty.DeleteFile(b).ok());
    EXPECT_EQ(faulty.DeleteFile(a).code, kDeviceIoError);
    EXPECT_EQ(faulty.FileLength(a, length).code, kDeviceIoError);
    EXPECT_EQ(faulty.OperationCount(), 7);
    EXPECT_EQ(faulty.FaultsInjected(), 4);
    EXPECT_EQ(faulty.Journal()[0], "FileLength " + a);
}

}  // namespace
}  // namespace orvanta
