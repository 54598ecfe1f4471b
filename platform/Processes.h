#pragma once

#include <initializer_list>
#include <string>
#include <vector>

namespace orvanta {

class Processes {
public:
    virtual ~Processes() = default;
    // True when a top-level window of this class exists.
    virtual bool TopLevelWindowExists(const std::string& windowClass) = 0;
    // True when a top-level window of any of these classes exists; every class is asked.
    // One question, so that a platform answering from its process list reads it once.
    virtual bool AnyTopLevelWindowExists(std::initializer_list<const char*> windowClasses) {
        bool found = false;
        for (const char* windowClass : windowClasses) found = TopLevelWindowExists(windowClass) || found;
        return found;
    }
    // Image names (executable file names) of the running processes.
    virtual std::vector<std::string> ProcessImageNames() = 0;
};

}  // namespace orvanta
