#pragma once

#include <string>

namespace orvanta {

// UTF-8 inside the program, UTF-16 at the wide Windows API.
std::wstring ToWide(const std::string& utf8);
std::string ToUtf8(const std::wstring& wide);
std::string ToUtf8(const wchar_t* wide, std::size_t length);
// UTF-8 text in the system's ANSI code page; characters it lacks become '?'.
std::string ToAnsiCodePage(const std::string& utf8);
// Text in the system's ANSI code page (as text files and untyped registry data hold it) as
// UTF-8; NUL characters stay where they are.
std::string FromAnsiCodePage(const std::string& ansi);

// Maps a Windows error number onto the stable failure codes (platform/FsStatus.h).
int FsCodeFromWin32Error(unsigned long error);

}  // namespace orvanta
