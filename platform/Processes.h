#pragma once

#include <string>
#include <vector>

namespace orvanta {

class Processes {
public:
    virtual ~Processes() = default;
    // True when a top-level window of this class exists.
    virtual bool TopLevelWindowExists(const std::string& windowClass) = 0;
    // Image names (executable file names) of the running processes.
    virtual std::vector<std::string> ProcessImageNames() = 0;
};

}  // namespace orvanta
