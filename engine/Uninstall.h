#pragma once

#include <string>

#include "engine/RunTypes.h"

namespace orvanta {

struct UninstallOptions {
    StatusSelection selection;  // the selection of the last scan, used again by the rescan
    bool log = false;           // the actions log option is ticked
    // The answer to RestoreQuestion(): Yes restores files missing in the simulator from
    // their backups. Taken only when the question is due (UninstallAsksRestore).
    bool restoreMissing = false;
};

struct UninstallResult {
    int restored = 0;
    int errors = 0;
    ScanResult rescan;  // a missing package file here ends the program
    MessageText closing;
};

// The restore question is asked (once the busy state is entered) whenever the last scan
// found files missing in the simulator.
bool UninstallAsksRestore(const ProgramState& state);
// Question icon, Yes and No with Yes as default.
MessageText RestoreQuestion();

// The uninstall run, from after the simulator-running guard: empties both log texts, and
// for every deinstallable file of the last scan deletes the installed file and renames
// its backup into place (a file missing in the simulator only with the restore answer),
// writes the actions log when asked, rescans, and writes the error log when something
// failed. The magvar table is never touched. The caller enters the busy state before
// (status text kUninstallingText), asks the restore question when due, leaves the busy
// state after, sets its significant-changes flag and shows the closing message.
UninstallResult RunUninstall(RunTools tools, ProgramState& state, const UninstallOptions& options, RunLogs logs,
                             const RunProgress& progress = {});

inline constexpr const char* kUninstallingText = " Uninstalling..please wait";
inline constexpr const char* kUninstallOperationName = "Uninstall";

}  // namespace orvanta
