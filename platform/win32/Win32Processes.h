#pragma once

#include "platform/Processes.h"

namespace orvanta {

// Top-level windows by class (FindWindowExW) and a Toolhelp snapshot of the processes.
// Under Wine on Linux, the host's processes too, read from its /proc through Wine's view of
// the host: a simulator under Steam's Proton runs in another Wine server, whose windows and
// processes this one does not see. There, as on Linux, a process named FSX.exe in any
// letter case stands for FSX's windows.
class Win32Processes : public Processes {
public:
    bool TopLevelWindowExists(const std::string& windowClass) override;
    // Every class asked of this server's windows, the host's processes read once.
    bool AnyTopLevelWindowExists(std::initializer_list<const char*> windowClasses) override;
    // The host's names under Wine, and the snapshot's (none when it cannot be taken).
    std::vector<std::string> ProcessImageNames() override;
};

}  // namespace orvanta
