#include "app/Paths.h"

#include "platform/PathSeparator.h"

namespace orvanta {

std::string AddBackslash(const std::string& path) {
    if (!path.empty() && path.back() == kSep) return path;
    return path + kSep;
}

}  // namespace orvanta
