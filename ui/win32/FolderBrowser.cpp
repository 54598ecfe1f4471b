#include "ui/win32/FolderBrowser.h"

#include <shlobj.h>

namespace orvanta {

namespace {

// The path of an item list, or an empty text when it has none in the file system. The
// buffer takes the longest path Windows has, so a deep simulator folder can be chosen.
std::wstring PathOfItem(LPCITEMIDLIST item) {
    std::wstring buffer(32768, L'\0');
    if (!SHGetPathFromIDListEx(item, buffer.data(), static_cast<DWORD>(buffer.size()), GPFIDL_DEFAULT)) return {};
    buffer.resize(wcslen(buffer.c_str()));
    return buffer;
}

int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM parameter, LPARAM data) {
    if (message == BFFM_INITIALIZED) {
        // Opens on the start folder (given with its terminating NUL).
        const auto* start = reinterpret_cast<const std::wstring*>(data);
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(start->c_str()));
    } else if (message == BFFM_SELCHANGED) {
        const std::wstring path = PathOfItem(reinterpret_cast<LPCITEMIDLIST>(parameter));
        if (!path.empty()) SendMessageW(browser, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(path.c_str()));
    }
    return 0;
}

}  // namespace

std::wstring BrowseForFolder(HWND owner, const std::wstring& startFolder, const std::wstring& title) {
    const std::wstring start = startFolder;
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pidlRoot = nullptr;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(&start);
    // The browser needs COM on this thread; a thread already set up answers S_FALSE.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::wstring result;
    if (LPITEMIDLIST item = SHBrowseForFolderW(&info)) {
        result = PathOfItem(item);
        CoTaskMemFree(item);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return result;
}

}  // namespace orvanta
