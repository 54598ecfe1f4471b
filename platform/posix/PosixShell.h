#pragma once

#include <string>

#include "platform/Shell.h"

namespace orvanta {

// Opens documents and web addresses with xdg-open, started without a shell so that the
// address is passed as one argument and never interpreted.
class PosixShell : public Shell {
public:
    explicit PosixShell(std::string opener = "xdg-open") : opener_(std::move(opener)) {}
    // True once the opener has been started; false when it cannot be started.
    bool Open(const std::string& documentOrAddress) override;

private:
    std::string opener_;
};

}  // namespace orvanta
