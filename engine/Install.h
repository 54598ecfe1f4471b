#pragma once

#include <string>

#include "engine/RunTypes.h"
#include "status/MagvarStatus.h"

namespace orvanta {

struct InstallOptions {
    // The selection of the last scan; the closing rescan uses it with force-full off,
    // since the run unticks that option.
    StatusSelection selection;
    bool magvar = false;  // the magvar option is ticked
    bool log = false;     // the actions log option is ticked
};

struct InstallResult {
    int replaced = 0;  // the magvar table counts as one file
    int errors = 0;
    bool magvarAttempted = false;
    MagvarOption magvarOption;  // the refreshed option, when the magvar table was attempted
    ScanResult rescan;          // a missing package file here ends the program
    MessageText closing;        // the closing message
    // A clean run is followed by the launch count and, when due, the donation prompt.
    bool Succeeded() const { return errors == 0; }
};

// The install run, from after the simulator-running guard: empties both log texts,
// replaces the magvar table when asked, then every updatable file of the last scan (one
// backup per file, taken only by the first install that replaces it), writes the actions
// log when asked, refreshes the magvar status when it was attempted, rescans, and writes
// the error log when something failed. The caller enters the busy state before (status
// text kInstallingText), leaves it after, unticks force-full, sets its significant-changes
// flag and shows the closing message.
InstallResult RunInstall(RunTools tools, ProgramState& state, const InstallOptions& options, RunLogs logs,
                         const RunProgress& progress = {});

inline constexpr const char* kInstallingText = " Installing..please wait";
inline constexpr const char* kInstallOperationName = "Installation";

}  // namespace orvanta
