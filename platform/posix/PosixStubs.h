#pragma once

// Interfaces whose POSIX answers arrive with the engine work. Until then they answer as a
// machine without a settings store or desktop would.

#include "platform/Platform.h"

namespace orvanta {

class PosixSettings : public Settings {
public:
    std::optional<std::string> Get(const std::string&, const std::string&, const std::string&,
                                   const std::string&) override {
        return std::nullopt;
    }
    bool Save(const std::string&, const std::string&, const std::string&, const std::string&) override {
        return false;
    }
};

class PosixShell : public Shell {
public:
    bool Open(const std::string&) override { return false; }
};

// Linux has no Windows access lists to check: the answer is always "cannot be determined",
// which leaves the decision to the write test.
class PosixAccessControl : public AccessControl {
public:
    std::int64_t GetGrantedAccess(const std::string&) override { return -1; }
};

}  // namespace orvanta
