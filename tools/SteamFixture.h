#pragma once

#include <string>
#include <vector>

namespace orvanta::tools {

// A Steam root's steamapps/libraryfolders.vdf as Steam writes it today: one numbered block
// per library with its "path" (quotes and backslashes escaped) and the usual other keys.
std::string LibraryFoldersVdf(const std::vector<std::string>& libraries);

}  // namespace orvanta::tools
