#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace orvanta {

struct NativePlatformOptions {
    // POSIX: the Wine prefix whose registry, drives and application data are used, and no
    // other; empty means $WINEPREFIX alone, else ~/.wine and then FSX Steam Edition's Proton
    // prefixes. Ignored on Windows.
    std::string winePrefix;
    // The argument text the program was started with (as one string).
    std::string commandLineText;
    // The single-instance lock's file (under Wine: the host lock's, as a Windows path);
    // empty means the user's fixed one, which the command and the window program under Wine
    // both take. Set only by tests, which must not stand in the way of a real run.
    std::string instanceLockPath;
    // POSIX: kept listings of folders follow the kernel's change events, for runs that
    // change many files in the folders they look in (install, uninstall). Without, they are
    // checked against the folders' dates before each use, as many calls, and a run spares
    // the closing of the watch at its end (milliseconds). Ignored on Windows.
    bool watchFolders = true;
};

// A place where simulators are registered: a registry, and on POSIX the Wine prefix whose
// registry it is (empty on Windows).
struct SimulatorRegistry {
    Registry* registry = nullptr;
    std::string winePrefix;
};

// Owns the implementations of the build target's platform and lends them as a Platform.
class NativePlatform {
public:
    virtual ~NativePlatform() = default;
    virtual Platform& get() = 0;
    // Where detection looks for simulators, in order: the registry of the machine on
    // Windows; on POSIX each Wine prefix searched (NativePlatformOptions::winePrefix).
    virtual std::vector<SimulatorRegistry> SimulatorRegistries() = 0;
    // Makes the environment's local application data folder that of the user of the n-th
    // of them: the shader caches of a simulator found there lie below it.
    virtual void UseLocalAppDataOf(std::size_t index) = 0;
};

std::unique_ptr<NativePlatform> MakeNativePlatform(const NativePlatformOptions& options);

// The program's arguments in UTF-8, without the program name. On Windows they are read
// from the wide command line, so that non-ASCII folders survive.
std::vector<std::string> NativeArguments(int argc, char** argv);

// The path made absolute against the current folder, without resolving links (".." stays
// as given on POSIX, where a link makes it mean something else than a lexical step back).
std::string NativeAbsolutePath(const std::string& path);

}  // namespace orvanta
