#pragma once

#include "platform/AccessControl.h"

namespace orvanta {

// The rights the user's token holds on a path, by the file object's generic mapping.
class Win32AccessControl : public AccessControl {
public:
    std::int64_t GetGrantedAccess(const std::string& path) override;

    // The volume root asked for the file system flags: "X:\" for a drive path; for a path
    // beginning with two backslashes, the text up to the first backslash from the third
    // character on, or the whole path and a backslash; empty for anything else.
    static std::string VolumeRoot(const std::string& path);
};

}  // namespace orvanta
