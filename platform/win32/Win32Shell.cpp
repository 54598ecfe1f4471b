#include "platform/win32/Win32Shell.h"

#include "platform/win32/WinApi.h"  // first of the Windows headers

#include <objbase.h>
#include <shellapi.h>

#include <cstdint>

#include "platform/win32/WinText.h"

namespace orvanta {

bool Win32Shell::Open(const std::string& documentOrAddress) {
    // Some handlers are reached through COM; a thread that has it already keeps its own.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const HINSTANCE result =
        ::ShellExecuteW(nullptr, L"open", ToWide(documentOrAddress).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    if (SUCCEEDED(com)) ::CoUninitialize();
    return reinterpret_cast<std::intptr_t>(result) > 32;
}

}  // namespace orvanta
