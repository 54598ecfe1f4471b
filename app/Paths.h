#pragma once

#include <string>

namespace orvanta {

// Returns the path unchanged when it already ends with the platform separator, else the
// path followed by it. Folders held in the program state always pass through here.
std::string AddBackslash(const std::string& path);

}  // namespace orvanta
