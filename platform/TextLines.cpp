#include "platform/TextLines.h"

namespace orvanta {

std::vector<std::string> SplitLines(const std::string& content) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    const std::size_t n = content.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = content[i];
        if (c != '\r' && c != '\n') continue;
        lines.push_back(content.substr(start, i - start));
        if (c == '\r' && i + 1 < n && content[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < n) lines.push_back(content.substr(start));
    return lines;
}

}  // namespace orvanta
