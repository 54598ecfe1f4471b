#pragma once

#include <string>

namespace orvanta {

// The folder separator of the platform the program is built for.
#ifdef _WIN32
inline constexpr char kSep = '\\';
#else
inline constexpr char kSep = '/';
#endif

}  // namespace orvanta
