#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/NativePlatform.h"
#include "platform/PathSeparator.h"
#include "support/MemoryFileSystem.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

using Names = std::vector<std::string>;

// The rules every file system of the installer keeps: the one of the platform, on a
// temporary folder, and the in-memory one that the fault sweep and the fuzzers use in its
// place (with Windows' rules: names match ignoring case, a rename never replaces).
class FileSystemContractTest : public ::testing::TestWithParam<const char*> {
protected:
    FileSystem& fs() { return memory_ ? static_cast<FileSystem&>(memoryFs_) : native_->get().fs; }
    std::string At(const std::string& relative) const { return root_ + kSep + test::NativeRelative(relative); }

    void Write(const std::string& relative, const std::string& bytes, bool readOnly = false,
               const LocalDateTime& t = {2019, 5, 4, 3, 2, 1}) {
        if (memory_) return memoryFs_.AddFile(At(relative), bytes, t, readOnly ? std::uint32_t{kAttrReadOnly} : 0u);
        test::WriteBytes(At(relative), bytes);
        test::SetLocalModifiedTime(At(relative), t.year, t.month, t.day, t.hour, t.minute, t.second);
        namespace sfs = std::filesystem;
        if (readOnly) sfs::permissions(sfs::u8path(At(relative)), sfs::perms::owner_write, sfs::perm_options::remove);
    }
    std::string Read(const std::string& relative) {
        std::vector<std::uint8_t> bytes;
        if (!fs().ReadBytes(At(relative), 0, 1 << 20, bytes)) return "(unreadable)";
        return std::string(bytes.begin(), bytes.end());
    }
    // The entries of a folder, sorted, a folder marked '/'.
    Names List(const std::string& relative) {
        std::vector<FolderEntry> entries;
        EXPECT_TRUE(fs().ListFolder(At(relative), entries).ok());
        Names names;
        for (const FolderEntry& e : entries) names.push_back(e.name + (e.isFolder ? "/" : ""));
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

TEST_P(FileSystemContractTest, CopyRenameAndLinesKeepWindowsRules) {
    Write("d/src.bgl", "new content");
    Write("d/dst.bgl", "old");
    // The temporary name of a copy is longer than its target's: names as long as names may
    // be (255 bytes, or 120 two-byte characters) must still take a copy.
    std::string accents;
    for (int i = 0; i < 120; ++i) accents += "\xC3\xA9";
    const Names targets = {"D/DST.BGL", "d/" + std::string(251, 'n') + ".bgl", "d/" + accents + ".bgl"};
    for (const std::string& target : targets) {  // absent, then existing
        ASSERT_TRUE(fs().CopyFile(At("d/src.bgl"), At(target)).ok()) << target;
        ASSERT_TRUE(fs().CopyFile(At("d/src.bgl"), At(target)).ok()) << target;
    }
    // Cut at a character's start: 119 whole characters, never half of the 120th.
    EXPECT_EQ(PartialCopyPath(At(targets[2])), At("d/" + accents.substr(0, 238)) + kPartialCopySuffix);
    EXPECT_EQ(Read("d/dst.bgl"), "new content");
    EXPECT_EQ(Read(targets[2]), "new content");
    LocalDateTime t;
    ASSERT_TRUE(fs().ModifiedTime(At("d/dst.bgl"), t).ok());
    EXPECT_EQ(t, (LocalDateTime{2019, 5, 4, 3, 2, 1}));
    const Names entries = {"dst.bgl", std::string(251, 'n') + ".bgl", "src.bgl", accents + ".bgl"};
    EXPECT_EQ(List("d"), entries);  // no temporary file left

    // What cannot be copied leaves the target as it was and nothing beside it.
    EXPECT_EQ(fs().CopyFile(At("d/absent.bgl"), At("d/dst.bgl")).code, kFileNotFound);
    EXPECT_FALSE(fs().CopyFile(At("d/src.bgl"), At("no/such/folder/dst.bgl")).ok());
    Write("d/dst.bgl", "read-only", true);
    EXPECT_EQ(fs().CopyFile(At("d/src.bgl"), At("d/dst.bgl")).code, kPermissionDenied);
    EXPECT_EQ(Read("d/dst.bgl"), "read-only");
    EXPECT_EQ(List("d"), entries);

    // A rename never replaces, and names match ignoring case.
    Write("Scenery/0501/scenery/APX47180.bgl", "mine");
    Write("Scenery/0501/scenery/other.bgl", "theirs");
    FileInfo info;
    ASSERT_TRUE(fs().QueryFile(At("scenery/0501/SCENERY/apx47180.BGL"), info).ok());
    EXPECT_EQ(info.length, 4u);
    EXPECT_EQ(fs().RenameFile(At("Scenery/0501/scenery/other.bgl"), At("scenery/0501/scenery/APX47180.BGL")).code,
              kFileExists);
    EXPECT_EQ(fs().RenameFile(At("Scenery/0501/scenery/missing.bgl"), At("Scenery/x.bgl")).code, kFileNotFound);
    // A new name lands in the existing folders, under the name asked for.
    ASSERT_TRUE(fs().RenameFile(At("scenery/0501/SCENERY/APX47180.bgl"), At("SCENERY/0501/scenery/APX.bglbckup")).ok());
    EXPECT_EQ(List("Scenery/0501/scenery"), (Names{"APX.bglbckup", "other.bgl"}));
    EXPECT_EQ(Read("Scenery/0501/scenery/APX.bglbckup"), "mine");
    EXPECT_EQ(Read("Scenery/0501/scenery/other.bgl"), "theirs");

    // Lines may end in CR LF, LF or CR.
    Write("l.txt", "a\r\nb\nc\rd\r\n\r\n");
    std::vector<std::string> lines;
    ASSERT_TRUE(fs().ReadLines(At("l.txt"), lines).ok());
    EXPECT_EQ(lines, (Names{"a", "b", "c", "d", ""}));
}

}  // namespace
}  // namespace orvanta
