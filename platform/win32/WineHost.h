#pragma once

#include <string>

namespace orvanta {

// True when this program runs under Wine on a Linux host. Wine is told by the exports only
// Wine's system libraries have.
bool RunsUnderWineOnLinux();

// Wine's name for a file of the host (a drive path such as "Z:\proc", or "\\?\unix\..."),
// when this program runs under Wine on a Linux host; empty otherwise, and always on Windows.
std::wstring WineHostFileName(const std::string& hostPath);

}  // namespace orvanta
