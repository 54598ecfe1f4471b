#pragma once

// Interfaces without a real POSIX counterpart.

#include "platform/Platform.h"

namespace orvanta {

// Linux has no Windows access lists to check: the answer is always "cannot be determined",
// which leaves the decision to the write test.
class PosixAccessControl : public AccessControl {
public:
    std::int64_t GetGrantedAccess(const std::string&) override { return -1; }
};

}  // namespace orvanta
