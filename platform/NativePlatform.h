#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace orvanta {

struct NativePlatformOptions {
    // POSIX: the Wine prefix whose registry, drives and application data are used; empty
    // means $WINEPREFIX, then ~/.wine. Ignored on Windows.
    std::string winePrefix;
    // The argument text the program was started with (as one string).
    std::string commandLineText;
};

// Owns the implementations of the build target's platform and lends them as a Platform.
class NativePlatform {
public:
    virtual ~NativePlatform() = default;
    virtual Platform& get() = 0;
};

std::unique_ptr<NativePlatform> MakeNativePlatform(const NativePlatformOptions& options);

// The program's arguments in UTF-8, without the program name. On Windows they are read
// from the wide command line, so that non-ASCII folders survive.
std::vector<std::string> NativeArguments(int argc, char** argv);

}  // namespace orvanta
