#include <gtest/gtest.h>

#include <string>

#include "platform/win32/LongPath.h"
#include "platform/win32/Win32Environment.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32FileVersions.h"
#include "platform/win32/WinApi.h"
#include "platform/win32/WinText.h"
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
// same files; the table above shows when it is used. A backup rename, a copy, a listing, a
// version read and the restore, as an install and uninstall do them.
TEST(LongPathTest, FilesAndVersionsOfASimulatorFolder300CharactersDeep) {
    test::TempDir dir;
    std::string fsx = dir / "SteamLibrary";
    while (fsx.size() < 300) fsx += "\\steamapps\\common";
    fsx += "\\FSX\\";
    const std::string apx = fsx + "Scenery\\0502\\scenery\\APX47180.bgl";
    test::WriteBytes(apx, "own");
    test::WriteBytes(dir / "APX47180.bgl", "new");
    Win32FileSystem fs;
    ASSERT_TRUE(
        fs.CopyFile(Win32Environment().ProgramFolder() + "\\orvanta_version_fixture.exe", fsx + "FSX.exe").ok());
    EXPECT_EQ(Win32FileVersions().Read(fsx + "FSX.exe"), (FileVersion{10, 2, 62615, 40001}));
    ASSERT_TRUE(fs.RenameFile(apx, apx + ".bglbckup").ok());
    ASSERT_TRUE(fs.CopyFile(dir / "APX47180.bgl", apx).ok());
    std::vector<FolderEntry> entries;
    ASSERT_TRUE(fs.ListFolder(fsx + "Scenery\\0502\\scenery", entries).ok());
    EXPECT_EQ(entries.size(), 2u);
    FileInfo info;
    ASSERT_TRUE(fs.QueryFile(apx, info).ok());
    EXPECT_EQ(info.length, 3u);
    ASSERT_TRUE(fs.DeleteFile(apx).ok());
    ASSERT_TRUE(fs.RenameFile(apx + ".bglbckup", apx).ok());
    EXPECT_EQ(test::ReadBytes(apx), "own");
}

}  // namespace
}  // namespace orvanta
