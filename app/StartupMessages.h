#pragma once

#include <array>
#include <string>

namespace orvanta {

// Lines of the start-up refusals; the window joins them with CR LF in a message box, the
// command prints one per line on standard error.
inline constexpr std::array<const char*, 2> kAnotherInstanceLines = {
    "Another instance of the Orvanta Installer is already running",
    "The program will not start",
};

// Below them when the lock could not be taken because of what lies at the lock file's name,
// so that the user knows what to remove.
inline std::string LockFileInTheWayLine(const std::string& file) { return "The lock file cannot be used: " + file; }

inline constexpr std::array<const char*, 4> kPackageDamagedLines = {
    "Some necessary files are missing or corrupted",
    "Check that you correctly extracted the package including",
    "all files, folder subdirectories and their content",
    "See the Orvanta_Installer.log for details",
};

}  // namespace orvanta
