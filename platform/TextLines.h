#pragma once

#include <string>
#include <vector>

namespace orvanta {

// Splits file content into lines: CR LF, LF and CR each end a line and are not part of
// it; a last line without terminator counts. Every file system reads text through here.
std::vector<std::string> SplitLines(const std::string& content);

}  // namespace orvanta
