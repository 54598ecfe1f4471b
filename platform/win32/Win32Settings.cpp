#include "platform/win32/Win32Settings.h"

#include <vector>

#include "platform/win32/WinApi.h"
#include "platform/win32/WinText.h"

namespace orvanta {

std::string Win32Settings::SectionKey(const std::string& application, const std::string& section) {
    return "Software\\VB and VBA Program Settings\\" + application + "\\" + section;
}

std::optional<std::string> Win32Settings::Get(const std::string& application, const std::string& section,
                                              const std::string& key, const std::string& defaultValue) {
    HKEY handle = nullptr;
    const LSTATUS open = ::RegOpenKeyExW(HKEY_CURRENT_USER, ToWide(SectionKey(application, section)).c_str(), 0,
                                         KEY_QUERY_VALUE, &handle);
    if (open == ERROR_FILE_NOT_FOUND) return defaultValue;
    if (open != ERROR_SUCCESS) return std::nullopt;

    const std::wstring name = ToWide(key);
    std::optional<std::string> result;
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD type = REG_NONE;
        DWORD size = 0;
        LSTATUS status = ::RegQueryValueExW(handle, name.c_str(), nullptr, &type, nullptr, &size);
        if (status == ERROR_FILE_NOT_FOUND) {
            result = defaultValue;
            break;
        }
        if (status != ERROR_SUCCESS) break;
        if (type != REG_SZ && type != REG_EXPAND_SZ) break;  // not a text: unreadable as a setting
        std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
        DWORD got = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        status = ::RegQueryValueExW(handle, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &got);
        if (status == ERROR_MORE_DATA) continue;  // grew meanwhile
        if (status == ERROR_SUCCESS) {
            std::size_t length = got / sizeof(wchar_t);
            // The setting is the text up to its terminating NUL.
            for (std::size_t i = 0; i < length; ++i) {
                if (text[i] == L'\0') {
                    length = i;
                    break;
                }
            }
            result = ToUtf8(text.data(), length);
        }
        break;
    }
    ::RegCloseKey(handle);
    return result;
}

bool Win32Settings::Save(const std::string& application, const std::string& section, const std::string& key,
                         const std::string& value) {
    HKEY handle = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, ToWide(SectionKey(application, section)).c_str(), 0, nullptr,
                          REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &handle, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const std::wstring text = ToWide(value);
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    const LSTATUS status =
        ::RegSetValueExW(handle, ToWide(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes);
    ::RegCloseKey(handle);
    return status == ERROR_SUCCESS;
}

}  // namespace orvanta
