#include "platform/win32/Win32Environment.h"

#include "platform/win32/WinApi.h"  // first of the Windows headers

#include <shlobj.h>

#include <cstdio>

#include "platform/win32/WinText.h"

namespace orvanta {

namespace {

constexpr const wchar_t* kInstanceMutexName = L"Local\\OrvantaInstaller.SingleInstance";

std::string StripTrailingSeparators(std::string path) {
    while (path.size() > 1 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    return path;
}

SYSTEMTIME MakeSystemTime(int year, int month, int day, int hour, int minute, int second) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    st.wSecond = static_cast<WORD>(second);
    return st;
}

}  // namespace

std::wstring ArgumentsAfterProgramName(const std::wstring& commandLine) {
    std::size_t i = 0;
    const std::size_t n = commandLine.size();
    // The program name ends at the closing quote when it starts with one, else at the
    // first blank; quotes inside it do not nest (the rule of CommandLineToArgvW).
    if (i < n && commandLine[i] == L'"') {
        ++i;
        while (i < n && commandLine[i] != L'"') ++i;
        if (i < n) ++i;
    } else {
        while (i < n && commandLine[i] != L' ' && commandLine[i] != L'\t') ++i;
    }
    while (i < n && (commandLine[i] == L' ' || commandLine[i] == L'\t')) ++i;
    return commandLine.substr(i);
}

Win32Environment::Win32Environment(std::string commandLineText, std::string hostLockFile)
    : commandLine_(std::move(commandLineText)),
      hostLockFile_(std::move(hostLockFile)) {}

Win32Environment::~Win32Environment() {
    if (instanceMutex_ != nullptr) ::CloseHandle(static_cast<HANDLE>(instanceMutex_));
}

std::string Win32Environment::ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return ".";
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);  // truncated: try with more room
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return ".";
    return ToUtf8(path.substr(0, slash));
}

std::string Win32Environment::CommandLineText() {
    if (!commandLine_.empty()) return commandLine_;
    const wchar_t* line = ::GetCommandLineW();
    return line == nullptr ? std::string() : ToUtf8(ArgumentsAfterProgramName(line));
}

std::optional<std::string> Win32Environment::Variable(const std::string& name) {
    const std::wstring wideName = ToWide(name);
    // The value may change between asking its size and reading it: try again then.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD size = ::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
        if (size == 0) return std::nullopt;
        std::wstring value(size, L'\0');
        ::SetLastError(ERROR_SUCCESS);
        const DWORD n = ::GetEnvironmentVariableW(wideName.c_str(), value.data(), size);
        if (n < size) {
            if (n == 0 && ::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
            value.resize(n);
            return ToUtf8(value);
        }
    }
    return std::nullopt;
}

std::string Win32Environment::LocalAppDataFolder() {
    if (auto v = Variable("LOCALAPPDATA"); v && !v->empty()) return StripTrailingSeparators(*v);
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return StripTrailingSeparators(ToUtf8(path, wcslen(path)));
    }
    return {};
}

bool Win32Environment::AcquireSingleInstanceLock() {
    if (instanceMutex_ != nullptr) return true;
    // A mutex that cannot be made is most likely another instance's, made with other rights.
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, kInstanceMutexName);
    if (mutex == nullptr) return false;
    if (::GetLastError() == ERROR_ALREADY_EXISTS ||
        hostLock_.Acquire(hostLockFile_) == WineHostLock::Outcome::Refused) {
        ::CloseHandle(mutex);
        return false;
    }
    instanceMutex_ = mutex;
    return true;
}

void Win32Environment::SleepMilliseconds(int ms) { ::Sleep(ms < 0 ? 0 : static_cast<DWORD>(ms)); }

std::string Win32RegionalFormat::ShortDate(int year, int month, int day) {
    const SYSTEMTIME st = MakeSystemTime(year, month, day, 0, 0, 0);
    wchar_t buffer[128] = {};
    const int n = ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buffer, 128, nullptr);
    if (n > 1) return ToUtf8(buffer, static_cast<std::size_t>(n - 1));
    char fallback[32];
    std::snprintf(fallback, sizeof fallback, "%04d-%02d-%02d", year, month, day);
    return fallback;
}

std::string Win32RegionalFormat::Time(int hour, int minute, int second) {
    const SYSTEMTIME st = MakeSystemTime(2000, 1, 1, hour, minute, second);
    wchar_t buffer[128] = {};
    const int n = ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, nullptr, buffer, 128);
    if (n > 1) return ToUtf8(buffer, static_cast<std::size_t>(n - 1));
    char fallback[32];
    std::snprintf(fallback, sizeof fallback, "%02d:%02d:%02d", hour, minute, second);
    return fallback;
}

}  // namespace orvanta
