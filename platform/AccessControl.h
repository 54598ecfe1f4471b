#pragma once

#include <cstdint>
#include <string>

namespace orvanta {

class AccessControl {
public:
    virtual ~AccessControl() = default;
    // The access mask granted to the current user on the path, or -1 when it cannot be
    // determined (no access control lists on the volume, unreadable descriptor, no token).
    virtual std::int64_t GetGrantedAccess(const std::string& path) = 0;
};

}  // namespace orvanta
