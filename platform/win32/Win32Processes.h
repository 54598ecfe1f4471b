#pragma once

#include "platform/Processes.h"

namespace orvanta {

// Top-level windows by class (FindWindowExW) and a Toolhelp snapshot of the processes.
class Win32Processes : public Processes {
public:
    bool TopLevelWindowExists(const std::string& windowClass) override;
    // Empty when no snapshot can be taken.
    std::vector<std::string> ProcessImageNames() override;
};

}  // namespace orvanta
