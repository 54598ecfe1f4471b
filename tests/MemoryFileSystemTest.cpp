#include <gtest/gtest.h>

#include "support/MemoryFileSystem.h"

namespace orvanta {
namespace {

using test::MemoryFileSystem;

std::string P(const std::string& relative) {
    std::string out = std::string(1, kSep) + "r";
    for (char c : std::string(1, '/') + relative) out += c == '/' ? kSep : c;
    return out;
}

// The fault sweep and the fuzzers trust this file system to behave like the Windows one
// the installer was made for; these are the rules they lean on.
TEST(MemoryFileSystemTest, NamesMatchIgnoringCaseAndKeepTheirCase) {
    MemoryFileSystem fs;
    fs.AddFile(P("Scenery/0501/scenery/APX47180.bgl"), "abc");
    EXPECT_TRUE(fs.Exists(P("SCENERY/0501/Scenery/apx47180.BGL")));
    std::vector<FolderEntry> entries;
    ASSERT_TRUE(fs.ListFolder(P("scenery/0501/SCENERY"), entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "APX47180.bgl");
    std::uint64_t length = 0;
    ASSERT_TRUE(fs.FileLength(P("scenery/0501/scenery/apx47180.bgl"), length));
    EXPECT_EQ(length, 3u);
}

TEST(MemoryFileSystemTest, RenameNeverReplacesAndReadOnlyFilesResistChange) {
    MemoryFileSystem fs;
    fs.AddFile(P("a.bgl"), "mine", {2020, 1, 1, 0, 0, 0}, kAttrReadOnly);
    fs.AddFile(P("b.bgl"), "theirs");
    EXPECT_EQ(fs.RenameFile(P("b.bgl"), P("A.BGL")).code, kFileExists);
    EXPECT_EQ(fs.DeleteFile(P("a.bgl")).code, kPermissionDenied);
    EXPECT_EQ(fs.CopyFile(P("b.bgl"), P("a.bgl")).code, kPermissionDenied);
    EXPECT_EQ(fs.WriteFile(P("a.bgl"), "x").code, kPermissionDenied);
    EXPECT_EQ(*fs.Content(P("a.bgl")), "mine");
    EXPECT_EQ(fs.RenameFile(P("missing"), P("c")).code, kFileNotFound);
    EXPECT_EQ(fs.RenameFile(P("b.bgl"), P("nofolder/b.bgl")).code, kPathNotFound);
    ASSERT_TRUE(fs.SetNormalAttributes(P("a.bgl")));
    ASSERT_TRUE(fs.RenameFile(P("a.bgl"), P("a.bgl.bglbckup")));
    EXPECT_FALSE(fs.Exists(P("a.bgl")));
    EXPECT_EQ(*fs.Content(P("a.bgl.bglbckup")), "mine");
}

TEST(MemoryFileSystemTest, CopyKeepsTheSourceDateAndWritesTakeTheClock) {
    MemoryFileSystem fs;
    fs.SetClock({2024, 2, 3, 4, 5, 6});
    fs.AddFile(P("src"), "new", {2021, 7, 8, 9, 10, 11});
    ASSERT_TRUE(fs.CopyFile(P("src"), P("dst")));
    LocalDateTime t;
    ASSERT_TRUE(fs.ModifiedTime(P("dst"), t));
    EXPECT_EQ(t, (LocalDateTime{2021, 7, 8, 9, 10, 11}));
    ASSERT_TRUE(fs.WriteFile(P("log"), "x"));
    ASSERT_TRUE(fs.ModifiedTime(P("log"), t));
    EXPECT_EQ(t, (LocalDateTime{2024, 2, 3, 4, 5, 6}));
    EXPECT_EQ(fs.CopyFile(P("nothing"), P("dst")).code, kFileNotFound);
}

TEST(MemoryFileSystemTest, FoldersListOnlyTheirChildrenAndLinksAreNotEntered) {
    MemoryFileSystem fs;
    fs.AddFile(P("cache/a/x.bin"), "1");
    fs.AddFile(P("cache-b/y.bin"), "2");  // sorts between "cache" and "cache/..."
    fs.AddFile(P("outside/keep.txt"), "3");
    fs.AddLink(P("cache/link"), P("outside"), true);
    std::vector<FolderEntry> entries;
    ASSERT_TRUE(fs.ListFolder(P("cache"), entries));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_TRUE(entries[0].isFolder);
    EXPECT_TRUE(entries[1].isLink);
    EXPECT_TRUE(fs.IsFolder(P("cache/link")));
    std::uint32_t attributes = 0;
    ASSERT_TRUE(fs.GetAttributes(P("cache/link"), attributes));
    EXPECT_NE(attributes & kAttrReparsePoint, 0u);

    EXPECT_EQ(fs.RemoveEmptyFolder(P("cache")).code, kPathFileAccessError);
    EXPECT_EQ(fs.DeleteFile(P("cache/a")).code, kPermissionDenied);
    ASSERT_TRUE(fs.RemoveEmptyFolder(P("cache/link")));
    EXPECT_TRUE(fs.Exists(P("outside/keep.txt")));
    ASSERT_TRUE(fs.DeleteFile(P("cache/a/x.bin")));
    ASSERT_TRUE(fs.RemoveEmptyFolder(P("cache/a")));
    ASSERT_TRUE(fs.RemoveEmptyFolder(P("cache")));
    EXPECT_TRUE(fs.Exists(P("cache-b/y.bin")));
}

TEST(MemoryFileSystemTest, ReadsLinesAndBytesLikeTheDiskOnes) {
    MemoryFileSystem fs;
    fs.AddFile(P("list.txt"), "APX1\r\nAPX2\nAPX3\rlast");
    std::vector<std::string> lines;
    ASSERT_TRUE(fs.ReadLines(P("list.txt"), lines));
    EXPECT_EQ(lines, (std::vector<std::string>{"APX1", "APX2", "APX3", "last"}));
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(fs.ReadBytes(P("list.txt"), 17, 10, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "ast");
    ASSERT_TRUE(fs.ReadBytes(P("list.txt"), 100, 10, bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(fs.ReadLines(P("nowhere/x"), lines).code, kFileNotFound);
    EXPECT_EQ(fs.WriteFile(P("nowhere/x"), "y").code, kPathNotFound);
    auto files = fs.Files(std::string(1, kSep) + "r");
    EXPECT_EQ(files.count("list.txt"), 1u);
}

}  // namespace
}  // namespace orvanta
