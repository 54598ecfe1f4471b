#include <gtest/gtest.h>

#include <algorithm>

#include "platform/win32/Win32Environment.h"
#include "platform/win32/WinApi.h"
#include "platform/win32/WinText.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

// Runs a program with the wide command line, its output going to a file; answers its exit code.
DWORD RunProgram(std::wstring commandLine, const std::string& output) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE out = ::CreateFileW(ToWide(output).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = out;
    PROCESS_INFORMATION pi{};
    DWORD code = 0xFFFFFFFF;
    if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                         &pi)) {
        ::WaitForSingleObject(pi.hProcess, 30000);
        ::GetExitCodeProcess(pi.hProcess, &code);
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
    }
    ::CloseHandle(out);
    return code;
}

TEST(Win32CommandTest, NonAsciiPackageFolderReachesTheCommandWhole) {
    const std::string program = Win32Environment().ProgramFolder() + "\\..\\orvanta.exe";
    ASSERT_TRUE(test::FileExists(program));
    test::TempDir dir;
    test::PackageBuilder b;
    b.cycle = "2213\r\n";
    const std::string package = dir / "Z\xC3\xBCrich \xE6\x9D\xB1\xE4\xBA\xAC pkg";
    b.Write(package);
    const DWORD code =
        RunProgram(L"\"" + ToWide(program) + L"\" --package \"" + ToWide(package) + L"\" check", dir / "out.txt");
    std::string out = test::ReadBytes(dir / "out.txt");
    out.erase(std::remove(out.begin(), out.end(), '\r'), out.end());
    EXPECT_EQ(code, 0u) << out;
    EXPECT_EQ(out, "Package OK\nAPX: 1 files\nATX: 1 files\nNVX: 1 files\nAIRAC Cycle: 2213\n");
}

}  // namespace
}  // namespace orvanta
