#pragma once

#include <string>
#include <vector>

#include "platform/ProcessImageName.h"
#include "platform/Processes.h"

namespace orvanta {

// Processes from /proc. There are no window classes on Linux: the FSX window classes
// ("FS98MAIN", "UIPCMAIN") stand for a running "FSX.exe" in any letter case, the process
// that owns them.
class PosixProcesses : public Processes {
public:
    // procRoot is "/proc" except in tests.
    explicit PosixProcesses(std::string procRoot = "/proc") : procRoot_(std::move(procRoot)) {}

    bool TopLevelWindowExists(const std::string& windowClass) override;
    // The process list read once, whichever of the FSX classes are asked.
    bool AnyTopLevelWindowExists(std::initializer_list<const char*> windowClasses) override;
    std::vector<std::string> ProcessImageNames() override;

private:
    std::string procRoot_;
};

}  // namespace orvanta
