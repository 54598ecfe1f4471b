#include "platform/win32/Win32Processes.h"

#include "platform/win32/WinApi.h"  // first of the Windows headers

#include <tlhelp32.h>

#include "platform/win32/WinText.h"

namespace orvanta {

bool Win32Processes::TopLevelWindowExists(const std::string& windowClass) {
    return ::FindWindowExW(nullptr, nullptr, ToWide(windowClass).c_str(), nullptr) != nullptr;
}

std::vector<std::string> Win32Processes::ProcessImageNames() {
    std::vector<std::string> names;
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
