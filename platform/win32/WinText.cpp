#include "platform/win32/WinText.h"

#include <climits>

#include "platform/FsStatus.h"
#include "platform/win32/WinApi.h"

namespace orvanta {

std::wstring ToWide(const std::string& utf8) {
    if (utf8.empty() || utf8.size() > INT_MAX) return {};
    const int size = static_cast<int>(utf8.size());
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), n);
    return wide;
}

std::string ToUtf8(const wchar_t* wide, std::size_t length) {
    if (wide == nullptr || length == 0 || length > INT_MAX) return {};
    const int size = static_cast<int>(length);
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide, size, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string utf8(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, size, utf8.data(), n, nullptr, nullptr);
    return utf8;
}

std::string ToUtf8(const std::wstring& wide) { return ToUtf8(wide.data(), wide.size()); }

std::string ToAnsiCodePage(const std::string& utf8) {
    const std::wstring wide = ToWide(utf8);
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    const int n = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string ansi(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), size, ansi.data(), n, nullptr, nullptr);
    return ansi;
}

std::string FromAnsiCodePage(const std::string& ansi) {
    if (ansi.empty() || ansi.size() > INT_MAX) return {};
    const int size = static_cast<int>(ansi.size());
    const int n = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), n);
    return ToUtf8(wide);
}

int FsCodeFromWin32Error(unsigned long error) {
    switch (error) {
        case ERROR_SUCCESS: return kOk;
        case ERROR_FILE_NOT_FOUND: return kFileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_DIRECTORY: return kPathNotFound;
        case ERROR_ALREADY_EXISTS:
        case ERROR_FILE_EXISTS: return kFileExists;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
        case ERROR_PRIVILEGE_NOT_HELD: return kPermissionDenied;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return kDiskFull;
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_INVALID_PARAMETER: return kBadFileName;
        case ERROR_NOT_READY:
        case ERROR_CRC:
        case ERROR_SEEK:
        case ERROR_WRITE_FAULT:
        case ERROR_READ_FAULT:
        case ERROR_GEN_FAILURE:
        case ERROR_IO_DEVICE: return kDeviceIoError;
        default: return kPathFileAccessError;  // busy, not empty, a folder, ...
    }
}

}  // namespace orvanta
