#include "platform/win32/Win32Shell.h"

#include "platform/win32/WinApi.h"  // first of the Windows headers

#include <objbase.h>
#include <shellapi.h>

#include <cstdint>

#include "platform/win32/LongPath.h"
#include "platform/win32/WinText.h"

namespace orvanta {

namespace {

// The shell takes no extended-length path, and no plain one from MAX_PATH on: a longer
// document path goes by its short (8.3) form where that fits. Otherwise it goes as it is,
// and the shell's failure tells the caller to try something else.
std::wstring ShellForm(const std::string& documentOrAddress) {
    std::wstring wide = ToWide(documentOrAddress);
    if (wide.size() < MAX_PATH) return wide;
    const std::wstring extended = ExtendedLengthPath(wide);
    std::wstring shortForm(extended.size() + 1, L'\0');
    const DWORD n = ::GetShortPathNameW(extended.c_str(), shortForm.data(), static_cast<DWORD>(shortForm.size()));
    if (n == 0 || n >= shortForm.size()) return wide;
    shortForm.resize(n);
    // Back out of the extended form: "\\?\C:\..." is "C:\...", "\\?\UNC\server\..." is "\\server\...".
    if (shortForm.rfind(L"\\\\?\\UNC\\", 0) == 0) {
        shortForm = L"\\\\" + shortForm.substr(8);
    } else if (shortForm.rfind(L"\\\\?\\", 0) == 0) {
        shortForm = shortForm.substr(4);
    }
    return shortForm.size() < MAX_PATH ? shortForm : wide;
}

}  // namespace

bool Win32Shell::Open(const std::string& documentOrAddress) {
    // Some handlers are reached through COM; a thread that has it already keeps its own.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const HINSTANCE result =
        ::ShellExecuteW(nullptr, L"open", ShellForm(documentOrAddress).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    if (SUCCEEDED(com)) ::CoUninitialize();
    return reinterpret_cast<std::intptr_t>(result) > 32;
}

}  // namespace orvanta
