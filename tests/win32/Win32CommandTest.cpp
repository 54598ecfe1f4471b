#include <gtest/gtest.h>

#include "platform/win32/Win32Environment.h"
#include "platform/win32/WinApi.h"
#include "platform/win32/WinText.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

struct ProcessResult {
    DWORD exitCode = 0xFFFFFFFF;
    std::string out;
};

// Runs a program with the wide command line and collects its standard output.
ProcessResult RunProgram(const std::wstring& commandLine) {
    ProcessResult result;
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return result;
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    si.hStdInput = nullptr;
    PROCESS_INFORMATION pi{};
    std::wstring mutableLine = commandLine;
    const BOOL started = ::CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                          nullptr, nullptr, &si, &pi);
    ::CloseHandle(writeEnd);
    if (started) {
        char buffer[4096];
        DWORD n = 0;
        while (::ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0) result.out.append(buffer, n);
        ::WaitForSingleObject(pi.hProcess, 30000);
        ::GetExitCodeProcess(pi.hProcess, &result.exitCode);
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
    }
    ::CloseHandle(readEnd);
    return result;
}

std::string Unix(std::string text) {
    std::string out;
    for (char c : text) {
        if (c != '\r') out += c;
    }
    return out;
}

TEST(Win32CommandTest, NonAsciiPackageFolderReachesTheCommandWhole) {
    const std::string program = Win32Environment().ProgramFolder() + "\\..\\orvanta.exe";
    ASSERT_TRUE(test::FileExists(program));
    test::TempDir dir;
    test::PackageBuilder b;
    b.cycle = "2213\r\n";
    const std::string package = dir / "Z\xC3\xBCrich \xE6\x9D\xB1\xE4\xBA\xAC pkg";
    b.Write(package);
    const ProcessResult r = RunProgram(L"\"" + ToWide(program) + L"\" --package \"" + ToWide(package) + L"\" check");
    EXPECT_EQ(r.exitCode, 0u) << r.out;
    EXPECT_EQ(Unix(r.out), "Package OK\nAPX: 1 files\nATX: 1 files\nNVX: 1 files\nAIRAC Cycle: 2213\n");
}

}  // namespace
}  // namespace orvanta
