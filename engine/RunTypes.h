#pragma once

#include <functional>
#include <string>

#include "app/Message.h"
#include "platform/Environment.h"
#include "platform/FileSystem.h"
#include "status/FileStatus.h"

namespace orvanta {

// Called before each item of an install or uninstall: items done so far, the total, and
// the path in hand. The window repaints its status line; the command draws progress.
using RunProgress = std::function<void(int done, int total, const std::string& current)>;

// What the file operations of a run work through.
struct RunTools {
    FileSystem& fs;
    RegionalFormat& regional;
};

// The two log texts of the main window (or of the command), owned by the caller.
struct RunLogs {
    std::string& errorLogText;
    std::string& actionsLogText;
};

// A path's description for an error record. A description that cannot be taken does not
// stop the record: it then says so instead of giving date and size.
std::string DescribeForRecord(RunTools tools, const std::string& path);

// Thrown inside one item's steps of a run only; caught at that item, never leaves the run.
struct StepFailure {
    int code;
};

inline void ThrowOnFailure(FsStatus status) {
    if (!status) throw StepFailure{status.code};
}

// A path's description for an actions log line; a failed query fails the item's step.
std::string DescribeForStep(RunTools tools, const std::string& path);

inline constexpr const char* kSeeErrorLogLine = "See the Orvanta_Installer.log file for details";

// What the status line and the command's progress say while a change waits for a file that
// another program holds open: its name, which the user can look for.
inline std::string HeldFileText(const std::string& path) {
    return " Waiting for " + path.substr(path.find_last_of(kSep) + 1) + ", in use by another program";
}

}  // namespace orvanta
