#pragma once

#include <string>

namespace orvanta {

inline constexpr const char* kCrLf = "\r\n";

// Appends one line and its CR LF to a log or message text.
inline void AppendLine(std::string& text, const std::string& line) {
    text += line;
    text += kCrLf;
}

}  // namespace orvanta
