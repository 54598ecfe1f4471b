#include <gtest/gtest.h>

#include "platform/SteamLibraryFolders.h"
#include "tools/SteamFixture.h"

namespace orvanta {
namespace {

using Folders = std::vector<std::string>;

TEST(SteamLibraryFoldersTest, ReadsTheLibrariesOfBothFormats) {
    std::string deep = "\"libraryfolders\" { \"0\" { \"path\" \"/mnt/a\" ";
    for (int i = 0; i < 40; ++i) deep += "\"k\" { ";
    deep += std::string(40, '}') + " } }";
    const struct {
        const char* name;
        std::string text;
        std::optional<Folders> expected;
    } cases[] = {
        {"as Steam writes it now", tools::LibraryFoldersVdf({"/home/p/.local/share/Steam", "/mnt/games/Steam Lib"}),
         Folders{"/home/p/.local/share/Steam", "/mnt/games/Steam Lib"}},
        {"quotes and backslashes escaped", tools::LibraryFoldersVdf({"D:\\Games \"SSD\"\\Steam"}),
         Folders{"D:\\Games \"SSD\"\\Steam"}},
        {"the older format, numbered values beside settings",
         "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\t\"1700000000\"\n\t\"1\"\t\t\"/mnt/a\"\n\t\"2\"\t\t\"/mnt/"
         "b\"\n}\n",
         Folders{"/mnt/a", "/mnt/b"}},
        {"comments, bare tokens, conditions, any case",
         "// written by hand\nlibraryfolders [$LINUX] {\n 0 { PATH /mnt/c label \"\" } [$LINUX]\n"
         " \"contentstatsid\" \"-1\"\n \"1\" { \"label\" \"x\" }\n \"2\" { \"path\" \"\" }\n}\n",
         Folders{"/mnt/c"}},
        {"no library listed", "\"libraryfolders\"\n{\n}\n", Folders{}},
        {"another file", "\"AppState\"\n{\n\t\"appid\"\t\t\"314160\"\n}\n", std::nullopt},
        {"a value where the block belongs", "\"libraryfolders\" \"/mnt/a\"\n", std::nullopt},
        {"cut inside a quote", "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"/mnt/", std::nullopt},
        {"block never closed", "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"/mnt/a\"\n", std::nullopt},
        {"one brace too many", tools::LibraryFoldersVdf({"/mnt/a"}) + "}\n", std::nullopt},
        {"key without a value", "\"libraryfolders\"\n{\n\t\"0\"\n}\n", std::nullopt},
        {"nested deep, as no Steam file is", deep, std::nullopt},
        {"empty file", "", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseLibraryFolders(c.text), c.expected) << c.name;
}

}  // namespace
}  // namespace orvanta
