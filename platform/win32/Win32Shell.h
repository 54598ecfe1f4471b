#pragma once

#include "platform/Shell.h"

namespace orvanta {

// ShellExecuteW with the verb "open", no parameters, no working folder, a normal window.
class Win32Shell : public Shell {
public:
    bool Open(const std::string& documentOrAddress) override;
};

}  // namespace orvanta
