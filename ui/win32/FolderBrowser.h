#pragma once

#include <string>

#include <windows.h>

namespace orvanta {

// The system's folder browser owned by owner, opening on startFolder (the desktop when
// empty). Returns the chosen folder's path as the system gives it (a drive root ends in a
// backslash, other folders do not), or an empty text when the user cancelled.
std::wstring BrowseForFolder(HWND owner, const std::wstring& startFolder, const std::wstring& title);

}  // namespace orvanta
