#include <gtest/gtest.h>

#include <string>

#include "engine/Install.h"
#include "engine/Uninstall.h"
#include "package/PackageCheck.h"
#include "platform/win32/LongPath.h"
#include "platform/win32/Win32Environment.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32FileVersions.h"
#include "platform/win32/WinApi.h"
#include "platform/win32/WinText.h"
#include "status/FileStatus.h"
#include "support/Fakes.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

TEST(LongPathTest, PathsTooLongForThePlainFormGetTheExtendedOne) {
    // 272 characters of folders, each ending with a backslash.
    std::wstring deep, deepSlashes;
    for (int i = 0; i < 16; ++i) {
        deep += L"steamapps\\common\\";
        deepSlashes += L"steamapps/common//";
    }
    const std::wstring file = L"Scenery\\0502\\scenery\\APX47180.bgl";
    struct Case {
        const char* name;
        std::wstring path;
        std::wstring expected;
    };
    const Case cases[] = {
        {"247 characters as they were", L"C:\\" + std::wstring(244, L'a'), L"C:\\" + std::wstring(244, L'a')},
        {"248 characters prefixed", L"C:\\" + std::wstring(245, L'a'), L"\\\\?\\C:\\" + std::wstring(245, L'a')},
        {"drive path", L"D:\\" + deep + file, L"\\\\?\\D:\\" + deep + file},
        {"network path", L"\\\\nas\\games\\" + deep + file, L"\\\\?\\UNC\\nas\\games\\" + deep + file},
        {"slashes and doubled separators", L"C:/" + deepSlashes + L"x.bgl", L"\\\\?\\C:\\" + deep + L"x.bgl"},
        {"dot segments resolved", L"C:\\" + deep + L".\\FSX\\..\\P3D\\x.bgl", L"\\\\?\\C:\\" + deep + L"P3D\\x.bgl"},
        {"never above the drive", L"C:\\..\\..\\" + deep + L"x.bgl", L"\\\\?\\C:\\" + deep + L"x.bgl"},
        {"folder keeps its separator", L"C:\\" + deep, L"\\\\?\\C:\\" + deep},
        {"trailing dots and blanks dropped", L"C:\\" + deep + L"x.bgl. .", L"\\\\?\\C:\\" + deep + L"x.bgl"},
        {"already extended", L"\\\\?\\C:\\" + deep + L".\\x", L"\\\\?\\C:\\" + deep + L".\\x"},
        {"relative", deep + file, deep + file},
        {"relative to a drive", L"C:" + deep, L"C:" + deep},
    };
    for (const Case& c : cases) EXPECT_EQ(ExtendedLengthPath(c.path), c.expected) << c.name;
    EXPECT_EQ(WidePath("C:\\Caf\xC3\xA9\\" + std::string(250, 'b')),
              L"\\\\?\\C:\\Caf\u00E9\\" + std::wstring(250, L'b'));
}

// Wine takes long paths in either form, so this shows that the extended form reaches the
// same files; the table above shows when it is used.
TEST(LongPathTest, InstallScanAndUninstallInASimulatorFolder300CharactersDeep) {
    test::TempDir dir;
    std::string deep = dir / "SteamLibrary";
    while (deep.size() < 300) deep += "\\steamapps\\common";
    Win32FileSystem fs;
    test::FixedRegional regional;
    ProgramState state;
    state.AppFolder = test::PackageBuilder{}.Write(dir / "pkg");
    state.SelectedSim = 1;
    state.SelectedSimFolder = test::SimFolderBuilder().Add("0502", "APX47180.bgl", "own").Write(deep + "\\FSX");
    const std::string apx = test::SimSceneryPath(state.SelectedSimFolder, "0502", "APX47180.bgl");
    ASSERT_TRUE(fs.CopyFile(Win32Environment().ProgramFolder() + "\\orvanta_version_fixture.exe",
                            state.SelectedSimFolder + "FSX.exe")
                    .ok());
    EXPECT_EQ(Win32FileVersions().Read(state.SelectedSimFolder + "FSX.exe"), (FileVersion{10, 2, 62615, 40001}));
    std::vector<FolderEntry> entries;
    ASSERT_TRUE(fs.ListFolder(apx.substr(0, apx.rfind('\\')), entries).ok());
    EXPECT_EQ(entries.size(), 1u);

    std::string errorLog, actionsLog;
    CheckPackage(fs, state, errorLog);
    InstallOptions install;
    install.selection.regions.fill(true);
    install.selection.categories.fill(true);
    ASSERT_TRUE(RefreshFileStatus(fs, state, install.selection).packageIntact) << errorLog;
    EXPECT_EQ(state.StatusCounts, (std::array<int, 5>{3, 0, 1, 0, 2}));
    EXPECT_EQ(RunInstall({fs, regional}, state, install, {errorLog, actionsLog}).replaced, 1) << errorLog;
    EXPECT_EQ(test::ReadBytes(apx + ".bglbckup"), "own");
    UninstallOptions uninstall;
    uninstall.selection = install.selection;
    EXPECT_EQ(RunUninstall({fs, regional}, state, uninstall, {errorLog, actionsLog}).restored, 1) << errorLog;
    EXPECT_EQ(test::ReadBytes(apx), "own");
}

}  // namespace
}  // namespace orvanta
