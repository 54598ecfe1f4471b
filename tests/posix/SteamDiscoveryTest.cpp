#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "WinePrefixWriter.h"
#include "cli/Cli.h"
#include "platform/SteamLibraryFolders.h"
#include "support/PackageBuilder.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "tools/PeImage.h"
#include "tools/SteamFixture.h"

namespace orvanta {
namespace {

// A simulator main folder with its executable and Scenery folder.
void WriteSim(const std::string& folder, const char* exe, std::uint16_t major, std::uint16_t minor,
              std::uint16_t build) {
    test::WriteBytes(folder + "/" + exe, tools::MakeVersionedExecutable(major, minor, build, 0));
    test::MakeFolder(folder + "/Scenery");
}

// A Steam user's machine: ~/.wine with Prepar3D v4; ~/.steam/steam a link to the Steam
// root ~/.local/share/Steam, whose libraryfolders.vdf lists itself, a library outside the
// home folder (FSX Steam Edition and another Prepar3D v4 in its Proton prefix) and a
// library that is gone; Flatpak's Steam root with a broken vdf, whose own library's
// Proton prefix holds Prepar3D v3 and another FSX Steam Edition.
TEST(SteamDiscoveryTest, ProtonPrefixesOfEveryLibraryAreSearchedAfterTheDefaultPrefix) {
    test::TempDir dir;
    const std::string home = dir / "home";
    test::ScopedEnv homeVar("HOME", home), user("USER", "pilot"), winePrefix("WINEPREFIX", "");
    test::ScopedEnv appData("LOCALAPPDATA", "");
    const std::string root = home + "/.local/share/Steam";
    const std::string library = dir / "games/SteamLibrary";
    const std::string flatpak = home + "/.var/app/com.valvesoftware.Steam/data/Steam";
    const std::string libraryPfx = library + "/steamapps/compatdata/314160/pfx";
    const std::string flatpakPfx = flatpak + "/steamapps/compatdata/314160/pfx";

    test::MakeFolder(home + "/.steam");
    std::filesystem::create_directory_symlink(root, home + "/.steam/steam");
    test::WriteBytes(root + "/steamapps/libraryfolders.vdf",
                     tools::LibraryFoldersVdf({root, library, home + "/gone/SteamLibrary"}));
    test::WriteBytes(flatpak + "/steamapps/libraryfolders.vdf", "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"");

    const char* p3d4 = "Software\\Lockheed Martin\\Prepar3D v4";
    const char* p3d3 = "Software\\Wow6432Node\\Lockheed Martin\\Prepar3D v3";
    const char* fsxSe = "Software\\Wow6432Node\\DovetailGames\\FSX";
    WriteSim(home + "/.wine/drive_c/P3D4", "Prepar3D.exe", 4, 5, 12);
    test::WinePrefixWriter wine;
    wine.machine = {{p3d4, "SetupPath", "C:\\P3D4"}};
    wine.Write(home + "/.wine");

    std::string fsxOnZ = "Z:" + library + "/steamapps/common/FSX";
    std::replace(fsxOnZ.begin(), fsxOnZ.end(), '/', '\\');
    WriteSim(library + "/steamapps/common/FSX", "FSX.exe", 10, 0, 62615);
    WriteSim(libraryPfx + "/drive_c/P3D4", "Prepar3D.exe", 4, 5, 12);
    test::WinePrefixWriter proton;
    proton.machine = {{fsxSe, "Install_Path", fsxOnZ}, {p3d4, "SetupPath", "C:\\P3D4"}};
    proton.Write(libraryPfx);

    WriteSim(flatpakPfx + "/drive_c/P3D3", "Prepar3D.exe", 3, 4, 22);
    WriteSim(flatpakPfx + "/drive_c/FSX", "FSX.exe", 10, 0, 62615);
    test::WinePrefixWriter flatpakProton;
    flatpakProton.machine = {{p3d3, "SetupPath", "C:\\P3D3"}, {fsxSe, "Install_Path", "C:\\FSX"}};
    flatpakProton.Write(flatpakPfx);

    NativePlatformOptions isolated;
    isolated.instanceLockPath = dir / "instance.lock";
    const auto run = [&](const std::vector<std::string>& args) {
        std::ostringstream out, err;
        EXPECT_EQ(cli::RunOrvanta(args, out, err, isolated), 0) << err.str();
        return out.str();
    };
    const auto listing = [](const std::string& fsxSe, const std::string& p3d3, const std::string& p3d4) {
        return "1\tFlight Simulator X\t-\n2\tFSX Steam Edition\t" + fsxSe +
               "\n3\tPrepar3D v1\t-\n4\tPrepar3D v2\t-\n5\tPrepar3D v3\t" + p3d3 + "\n6\tPrepar3D v4\t" + p3d4 + "\n";
    };
    const std::string steamFsx = library + "/steamapps/common/FSX/";
    EXPECT_EQ(run({"detect"}), listing(steamFsx, flatpakPfx + "/drive_c/P3D3/", home + "/.wine/drive_c/P3D4/"));
    // --wine-prefix means that prefix and no other.
    EXPECT_EQ(run({"detect", "--wine-prefix", libraryPfx}), listing(steamFsx, "-", libraryPfx + "/drive_c/P3D4/"));

    // The shader caches are those of the prefix each simulator was found in, or, for a
    // folder given by hand, of the prefix that holds it.
    test::PackageBuilder().Write(dir / "pkg");
    const std::pair<std::vector<std::string>, std::string> caches[] = {
        {{"--sim", "2"}, libraryPfx + "/drive_c/users/steamuser/AppData/Local/Microsoft/FSX-SE/Shaders"},
        {{"--sim", "6"}, home + "/.wine/drive_c/users/pilot/AppData/Local/Lockheed Martin/Prepar3D v4/Shaders"},
        {{"--nodetect", "--sim-folder", flatpakPfx + "/drive_c/P3D3"},
         flatpakPfx + "/drive_c/users/steamuser/AppData/Local/Lockheed Martin/Prepar3D v3/Shaders"},
    };
    for (const auto& [chosen, cache] : caches) {
        test::WriteBytes(cache + "/shader.bin", "compiled");
        std::vector<std::string> args = {"--package", dir / "pkg", "clean-shaders"};
        args.insert(args.begin() + 2, chosen.begin(), chosen.end());
        EXPECT_EQ(run(args), "Shader cache emptied: " + cache + "\n");
        EXPECT_FALSE(test::FileExists(cache + "/shader.bin"));
    }
}

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
        {"after a byte-order mark", "\xEF\xBB\xBF" + tools::LibraryFoldersVdf({"/mnt/a"}), Folders{"/mnt/a"}},
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
