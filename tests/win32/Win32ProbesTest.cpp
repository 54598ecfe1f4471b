#include <gtest/gtest.h>

#include <algorithm>

#include "platform/PeVersionReader.h"
#include "platform/win32/Win32AccessControl.h"
#include "platform/win32/Win32Environment.h"
#include "platform/win32/Win32FileVersions.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/WinApi.h"
#include "support/TempDir.h"
#include "tools/PeImage.h"

namespace orvanta {
namespace {

TEST(Win32FileVersionsTest, PortableReaderAndGeneratedImagesAgreeWithWindows) {
    // The reader used on Linux gives what Windows gives for a real executable (built beside
    // this program from a generated resource script) ...
    const std::string fixture = test::ReadBytes(Win32Environment().ProgramFolder() + "\\orvanta_version_fixture.exe");
    ASSERT_FALSE(fixture.empty());
    EXPECT_EQ(ReadPeFileVersion(reinterpret_cast<const std::uint8_t*>(fixture.data()), fixture.size()),
              (FileVersion{10, 2, 62615, 40001}));
    // ... and the executables that tests and the demo generate read back through Windows.
    test::TempDir dir;
    Win32FileVersions versions;
    test::WriteBytes(dir / "FSX.exe", tools::MakeVersionedExecutable(10, 0, 62607, 0));
    EXPECT_EQ(versions.Read(dir / "FSX.exe"), (FileVersion{10, 0, 62607, 0}));
    // Anything without a version is zero.
    test::WriteBytes(dir / "text.exe", "MZ but not really an executable");
    for (const std::string& path : {dir / "absent.exe", dir / "text.exe", dir.path(),
                                    Win32Environment().ProgramFolder() + "\\orvanta_tests.exe"}) {
        EXPECT_TRUE(versions.Read(path).IsZero()) << path;
    }
}

TEST(Win32ProcessesTest, OwnImageAndTopLevelWindowsAreFound) {
    Win32Processes processes;
    const std::vector<std::string> names = processes.ProcessImageNames();
    EXPECT_NE(std::find(names.begin(), names.end(), "orvanta_tests.exe"), names.end());
    EXPECT_EQ(std::find(names.begin(), names.end(), "Prepar3D.exe"), names.end());
    const wchar_t* className = L"OrvantaTestWindowClass";
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    ASSERT_NE(::RegisterClassW(&wc), 0);
    EXPECT_FALSE(processes.TopLevelWindowExists("OrvantaTestWindowClass"));
    HWND window = ::CreateWindowExW(0, className, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(processes.TopLevelWindowExists("OrvantaTestWindowClass")) << "hidden windows count too";
    EXPECT_FALSE(processes.TopLevelWindowExists("FS98MAIN"));
    ::DestroyWindow(window);
    EXPECT_FALSE(processes.TopLevelWindowExists("OrvantaTestWindowClass"));
    ::UnregisterClassW(className, wc.hInstance);
}

TEST(Win32AccessControlTest, VolumeRootAndGrantedAccess) {
    const std::pair<const char*, const char*> roots[] = {
        {"C:\\FSX\\Scenery", "C:\\"},   {"d:\\", "d:\\"}, {"\\\\server\\share\\FSX\\Scenery", "\\\\server\\"},
        {"\\\\server", "\\\\server\\"}, {"C:", ""},       {"FSX\\Scenery", ""}};
    for (const auto& [path, root] : roots) EXPECT_EQ(Win32AccessControl::VolumeRoot(path), root) << path;
    // A mask or unknown, never a failure.
    Win32AccessControl access;
    EXPECT_EQ(access.GetGrantedAccess("FSX\\Scenery"), -1) << "no volume to ask";
    EXPECT_EQ(access.GetGrantedAccess("C:\\orvanta-absent-folder\\Scenery"), -1) << "no descriptor to read";
    test::TempDir dir;
    (void)access.GetGrantedAccess(dir.path());  // Wine's answer follows Unix mode bits
    // The thread is back to its own identity afterwards.
    HANDLE token = nullptr;
    EXPECT_FALSE(::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, &token));
    if (token != nullptr) ::CloseHandle(token);
}

TEST(Win32ShellTest, OpensWhatHasAHandlerAndReportsWhatCannotBeOpened) {
    Win32Shell shell;
    // A program opens by running; the fixture ends at once.
    EXPECT_TRUE(shell.Open(Win32Environment().ProgramFolder() + "\\orvanta_version_fixture.exe"));
    test::TempDir dir;
    EXPECT_FALSE(shell.Open(dir / "absent.pdf"));
}

}  // namespace
}  // namespace orvanta
