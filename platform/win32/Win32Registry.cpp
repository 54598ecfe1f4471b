#include "platform/win32/Win32Registry.h"

#include <vector>

#include "platform/win32/WinApi.h"
#include "platform/win32/WinText.h"

namespace orvanta {

namespace {

constexpr DWORD kFirstBufferBytes = 1024;

}  // namespace

std::optional<std::string> Win32Registry::ReadString(RegistryRoot root, const std::string& key,
                                                     const std::string& valueName, RegistryView view) {
    const HKEY rootKey = root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    const REGSAM access = KEY_READ | (view == RegistryView::View64 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY);
    HKEY handle = nullptr;
    if (::RegOpenKeyExW(rootKey, ToWide(key).c_str(), 0, access, &handle) != ERROR_SUCCESS) return std::nullopt;

    const std::wstring name = ToWide(valueName);
    std::vector<BYTE> buffer(kFirstBufferBytes, 0);
    DWORD type = REG_NONE;
    DWORD size = static_cast<DWORD>(buffer.size());
    LSTATUS status = ::RegQueryValueExW(handle, name.c_str(), nullptr, &type, buffer.data(), &size);
    if (status == ERROR_MORE_DATA) {
        // The registry told the size it needs; one more try with that much room.
        buffer.assign(static_cast<std::size_t>(size) + sizeof(wchar_t), 0);
        size = static_cast<DWORD>(buffer.size());
        status = ::RegQueryValueExW(handle, name.c_str(), nullptr, &type, buffer.data(), &size);
    }
    ::RegCloseKey(handle);
    if (status != ERROR_SUCCESS) return std::nullopt;
    // The value's type is not checked. Text is taken as stored, a terminating NUL included
    // when the writer stored one; any other data is read as 8-bit text, as the ANSI
    // registry calls hand it over.
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
        return ToUtf8(reinterpret_cast<const wchar_t*>(buffer.data()), size / sizeof(wchar_t));
    }
    return FromAnsiCodePage(std::string(reinterpret_cast<const char*>(buffer.data()), size));
}

}  // namespace orvanta
