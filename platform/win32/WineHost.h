#pragma once

#include <string>

namespace orvanta {

// Wine's name for a file of the host (a drive path such as "Z:\proc", or "\\?\unix\..."),
// when this program runs under Wine on a Linux host; empty otherwise, and always on Windows.
// Wine is told as the host lock tells it: by the exports only Wine's system libraries have.
std::wstring WineHostFileName(const std::string& hostPath);

}  // namespace orvanta
