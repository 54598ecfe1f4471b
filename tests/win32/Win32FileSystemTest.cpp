#include <gtest/gtest.h>

#include <algorithm>
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

class Win32FileSystemTest : public ::testing::Test {
protected:
    static void SetAttributes(const std::string& path, DWORD attributes) {
        ASSERT_TRUE(::SetFileAttributesW(ToWide(path).c_str(), attributes));
    }
    std::vector<std::string> Names(const std::string& folder) {
        std::vector<FolderEntry> entries;
        EXPECT_TRUE(fs.ListFolder(folder, entries).ok());
        std::vector<std::string> names;
        for (const FolderEntry& e : entries) names.push_back(e.name + (e.isLink ? "@" : e.isFolder ? "/" : ""));
        std::sort(names.begin(), names.end());
        return names;
    }
    Win32FileSystem fs;
    test::TempDir dir;
};

// What the system answers, through the error map below; a folder is no text file.
TEST_F(Win32FileSystemTest, FailureCodesCopiesAndListings) {
    EXPECT_EQ(fs.DeleteFile(dir / "no-folder/absent.bgl").code, kPathNotFound);
    test::WriteBytes(dir / "sub/f.bgl", "f");
    EXPECT_EQ(fs.CreateFolder(dir / "sub").code, kFileExists);
    std::vector<std::string> lines;
    EXPECT_EQ(fs.ReadLines(dir / "sub", lines).code, kPathFileAccessError);
    EXPECT_EQ(fs.RemoveEmptyFolder(dir / "sub").code, kPathFileAccessError);
    EXPECT_EQ(fs.DeleteFile(dir / "sub").code, kPermissionDenied);

    test::WriteBytes(dir / "src.bgl", "new");
    // A partial file left by an interrupted run, even a read-only one, does not block the copy.
    test::WriteBytes(dir / "dst.bgl.orvanta-partial", "stale");
    SetAttributes(dir / "dst.bgl.orvanta-partial", FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(fs.CopyFile(dir / "src.bgl", dir / "dst.bgl").ok());
    EXPECT_EQ(test::ReadBytes(dir / "dst.bgl"), "new");
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"dst.bgl", "src.bgl", "sub/"}));

    // A folder in the target's place is refused without touching it.
    test::MakeFolder(dir / "folder.bgl");
    EXPECT_EQ(fs.CopyFile(dir / "src.bgl", dir / "folder.bgl").code, kPathFileAccessError);
    EXPECT_TRUE(fs.IsFolder(dir / "folder.bgl"));
    EXPECT_FALSE(fs.Exists(dir / "folder.bgl.orvanta-partial"));

    // Hidden and system entries are listed like any other: a shader cache must be emptied whole.
    test::WriteBytes(dir / "cache/hidden.bin", "h");
    test::WriteBytes(dir / "cache/system.bin", "s");
    test::MakeFolder(dir / "cache/sub");
    SetAttributes(dir / "cache/hidden.bin", FILE_ATTRIBUTE_HIDDEN);
    SetAttributes(dir / "cache/system.bin", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    SetAttributes(dir / "cache/sub", FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(Names(dir / "cache" + "\\"), (std::vector<std::string>{"hidden.bin", "sub/", "system.bin"}));
    std::vector<FolderEntry> entries;
    EXPECT_EQ(fs.ListFolder(dir / "absent", entries).code, kPathNotFound);
}

// Text files are in the ANSI code page: a letter of it in "Cycle.txt" or a list line reaches
// the program as that letter and goes back into a log as the byte it was.
TEST_F(Win32FileSystemTest, TextFilesAreInTheAnsiCodePage) {
    if (::GetACP() != 1252) GTEST_SKIP() << "the test prefix is expected to use code page 1252";
    test::WriteBytes(dir / "Cycle.txt", "AIRAC \xE9t\xE9\r\nAPX4718\xE9\r\n");
    std::vector<std::string> lines;
    ASSERT_TRUE(fs.ReadLines(dir / "Cycle.txt", lines).ok());
    EXPECT_EQ(lines, (std::vector<std::string>{"AIRAC \xC3\xA9t\xC3\xA9", "APX4718\xC3\xA9"}));
    std::string line;
    bool hasLine = false;
    ASSERT_TRUE(fs.ReadFirstLine(dir / "Cycle.txt", line, hasLine).ok());
    EXPECT_EQ(line, lines[0]);
    ASSERT_TRUE(fs.WriteTextFile(dir / "a.log", lines[1] + " \xE6\x9D\xB1\r\n").ok());
    EXPECT_EQ(test::ReadBytes(dir / "a.log"), "APX4718\xE9 ?\r\n");  // what the code page lacks becomes '?'
    ASSERT_TRUE(fs.WriteFile(dir / "b.bin", std::string("caf\xC3\xA9\0x", 7)).ok());
    EXPECT_EQ(test::ReadBytes(dir / "b.bin"), std::string("caf\xC3\xA9\0x", 7));  // bytes stay bytes
}

TEST(Win32ErrorMapTest, OneCodePerKind) {
    const std::pair<DWORD, int> cases[] = {{ERROR_SUCCESS, kOk},
                                           {ERROR_FILE_NOT_FOUND, kFileNotFound},
                                           {ERROR_PATH_NOT_FOUND, kPathNotFound},
                                           {ERROR_ALREADY_EXISTS, kFileExists},
                                           {ERROR_FILE_EXISTS, kFileExists},
                                           {ERROR_ACCESS_DENIED, kPermissionDenied},
                                           {ERROR_SHARING_VIOLATION, kPermissionDenied},
                                           {ERROR_DISK_FULL, kDiskFull},
                                           {ERROR_INVALID_NAME, kBadFileName},
                                           {ERROR_CRC, kDeviceIoError},
                                           {ERROR_DIR_NOT_EMPTY, kPathFileAccessError}};
    for (const auto& [error, code] : cases) EXPECT_EQ(FsCodeFromWin32Error(error), code) << error;
}

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
