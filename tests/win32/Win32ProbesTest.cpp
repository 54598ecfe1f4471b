#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "platform/PeVersionReader.h"
#include "platform/win32/Win32AccessControl.h"
#include "platform/win32/Win32Environment.h"
#include "platform/win32/Win32FileVersions.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/WinApi.h"
#include "platform/win32/WinText.h"
#include "platform/win32/WineHostLock.h"
#include "support/ScopedEnv.h"
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
    EXPECT_NE(access.GetGrantedAccess(dir.path()), -1) << "a folder of the user's own has a descriptor";
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

TEST(Win32EnvironmentTest, ArgumentsFoldersAndVariablesInUtf8) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"\"C:\\Program Files\\Orvanta\\Orvanta.exe\" /nodetect", L"/nodetect"},
        {L"Orvanta.exe   / NoDetect /x ", L"/ NoDetect /x "},
        {L"Orvanta.exe\t/a", L"/a"},
        {L"\"C:\\a b\\x.exe\"", L""},
        {L"\"C:\\unterminated", L""},
        {L"", L""},
    };
    for (const auto& [line, arguments] : cases) EXPECT_EQ(ArgumentsAfterProgramName(line), arguments) << ToUtf8(line);
    EXPECT_EQ(Win32Environment("/nodetect").CommandLineText(), "/nodetect");
    EXPECT_EQ(Win32Environment().CommandLineText().find("orvanta_tests"), std::string::npos);  // never its name

    Win32Environment env;
    ::SetEnvironmentVariableW(L"ORVANTA_TEST_VAR", L"C:\\Users\\J\u00FCrgen\\\u6771");
    EXPECT_EQ(env.Variable("ORVANTA_TEST_VAR"), "C:\\Users\\J\xC3\xBCrgen\\\xE6\x9D\xB1");
    ::SetEnvironmentVariableW(L"ORVANTA_TEST_VAR", L"");
    EXPECT_EQ(env.Variable("ORVANTA_TEST_VAR"), std::string());
    ::SetEnvironmentVariableW(L"ORVANTA_TEST_VAR", nullptr);
    EXPECT_EQ(env.Variable("ORVANTA_TEST_VAR"), std::nullopt);
    {
        test::ScopedEnv set("LOCALAPPDATA", "C:\\users\\x\\AppData\\Local\\");
        EXPECT_EQ(env.LocalAppDataFolder(), "C:\\users\\x\\AppData\\Local");
    }
    test::ScopedEnv unset("LOCALAPPDATA", "");
    const std::string fallback = env.LocalAppDataFolder();  // the shell's folder
    ASSERT_FALSE(fallback.empty());
    EXPECT_NE(fallback.back(), '\\');
    EXPECT_TRUE(test::FileExists(env.ProgramFolder() + "\\orvanta_tests.exe"));
}

TEST(Win32EnvironmentTest, OneInstanceAtATime) {
    test::TempDir dir;
    const std::string hostLock = dir / "instance.lock";  // the user's own is for real runs
    auto holder = std::make_unique<Win32Environment>("", hostLock);
    ASSERT_TRUE(holder->AcquireSingleInstanceLock());
    EXPECT_TRUE(holder->AcquireSingleInstanceLock()) << "asking again keeps the lock";
    EXPECT_FALSE(Win32Environment("", hostLock).AcquireSingleInstanceLock());
    holder.reset();
    EXPECT_TRUE(Win32Environment("", hostLock).AcquireSingleInstanceLock()) << "the lock goes with its holder";

    // Under Wine the host's lock file is locked as well, and one that cannot be locked refuses,
    // naming the file unless another instance holds it.
    if (::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr) return;
    WineHostLock first, second, unreachable, folder;
    EXPECT_EQ(first.Acquire(dir / "host.lock"), WineHostLock::Outcome::Taken);
    EXPECT_EQ(second.Acquire(dir / "host.lock"), WineHostLock::Outcome::Refused);
    EXPECT_EQ(second.FileInTheWay(), "");
    EXPECT_EQ(unreachable.Acquire(dir / "gone\\host.lock"), WineHostLock::Outcome::Refused);
    EXPECT_EQ(unreachable.FileInTheWay(), dir / "gone\\host.lock");
    test::MakeFolder(dir / "folder.lock");
    EXPECT_EQ(folder.Acquire(dir / "folder.lock"), WineHostLock::Outcome::Refused);
    EXPECT_EQ(folder.FileInTheWay(), dir / "folder.lock");
}

TEST(Win32RegionalFormatTest, RendersDatesAndTimesWithTheirNumbers) {
    Win32RegionalFormat regional;
    const std::string date = regional.ShortDate(2021, 3, 27);
    for (const char* part : {"27", "3", "2021"}) EXPECT_NE(date.find(part), std::string::npos) << date;
    const std::string time = regional.Time(14, 5, 9);  // minutes before seconds in every locale
    EXPECT_LT(time.find("05"), time.find("09")) << time;
    EXPECT_NE(time.find("09"), std::string::npos) << time;
    EXPECT_NE(regional.ShortDate(2021, 2, 30), "") << "an impossible date still renders";
}

}  // namespace
}  // namespace orvanta
