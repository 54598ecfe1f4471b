#include "platform/win32/Win32Processes.h"

#include "platform/win32/WinApi.h"  // first of the Windows headers

#include <tlhelp32.h>

#include <algorithm>

#include "platform/ProcessImageName.h"
#include "platform/win32/WinText.h"
#include "platform/win32/WineHost.h"

namespace orvanta {

namespace {

bool IsAllDigits(const wchar_t* s) {
    if (*s == L'\0') return false;
    for (; *s != L'\0'; ++s) {
        if (*s < L'0' || *s > L'9') return false;
    }
    return true;
}

// The image names of the host's processes under Wine on Linux, by the host's own rule;
// none elsewhere.
std::vector<std::string> HostImageNames() {
    std::vector<std::string> names;
    const std::wstring proc = WineHostFileName("/proc");
    if (proc.empty()) return names;
    WIN32_FIND_DATAW entry{};
    HANDLE find =
        ::FindFirstFileExW((proc + L"\\*").c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!IsAllDigits(entry.cFileName)) continue;
        // A process may end between the listing and this read; it then just has no name.
        HANDLE file = ::CreateFileW((proc + L"\\" + entry.cFileName + L"\\cmdline").c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;
        // The first argument is all that is needed.
        char buffer[4096];
        DWORD got = 0;
        const bool read = ::ReadFile(file, buffer, sizeof buffer, &got, nullptr) != FALSE;
        ::CloseHandle(file);
        // Kernel threads have no command line, and no simulator is one.
        std::string name = read ? ImageNameOf(std::string(buffer, got), {}) : std::string();
        if (!name.empty()) names.push_back(std::move(name));
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
    return names;
}

}  // namespace

bool Win32Processes::TopLevelWindowExists(const std::string& windowClass) {
    return AnyTopLevelWindowExists({windowClass.c_str()});
}

bool Win32Processes::AnyTopLevelWindowExists(std::initializer_list<const char*> windowClasses) {
    bool found = false;
    bool fsx = false;
    for (const char* windowClass : windowClasses) {
        found = ::FindWindowExW(nullptr, nullptr, ToWide(windowClass).c_str(), nullptr) != nullptr || found;
        fsx = fsx || std::string(windowClass) == "FS98MAIN" || std::string(windowClass) == "UIPCMAIN";
    }
    if (found || !fsx) return found;
    const std::vector<std::string> names = HostImageNames();
    return std::any_of(names.begin(), names.end(), IsFsxImageName);
}

std::vector<std::string> Win32Processes::ProcessImageNames() {
    std::vector<std::string> names = HostImageNames();
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return names;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
        names.push_back(ToUtf8(entry.szExeFile, wcsnlen(entry.szExeFile, MAX_PATH)));
    }
    ::CloseHandle(snapshot);
    return names;
}

}  // namespace orvanta
