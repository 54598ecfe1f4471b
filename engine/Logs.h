#pragma once

#include <string>

#include "platform/Environment.h"
#include "platform/FileSystem.h"

namespace orvanta {

inline constexpr const char* kErrorLogName = "Orvanta_Installer.log";
inline constexpr const char* kActionsLogName = "Installer_Actions.log";

// The five steps an error record names, by index.
enum Step : int {
    kStepBackup = 0,
    kStepCopy = 1,
    kStepDelete = 2,
    kStepRestore = 3,
    kStepWriteProtection = 4,
};
// The step names of error records (StepNames): this table is their one source.
inline constexpr const char* kStepNames[5] = {
    "Backing up original file",       "Copying new file replacing old one",
    "Deleting updated file",          "Restoring original file from backup",
    "Removing file write protection",
};

// The text appended behind a path in log lines: " [" + date and time + "-" + length + "]"
// for an existing path, " [not existing]" otherwise. The date is the user's short date, a
// blank and the time; the time is left out at exactly midnight. A failing date or length
// query is returned for the caller to handle.
FsStatus DescribeFile(FileSystem& fs, RegionalFormat& regional, const std::string& path, std::string& description);

// The date and time part of a description.
std::string FormatFileDate(RegionalFormat& regional, const LocalDateTime& time);

// Rewrites the log file folder + name with the text; any failure is silent and the text
// stays in memory with its owner.
void WriteLogFile(FileSystem& fs, const std::string& folder, const char* name, const std::string& text);

inline void WriteErrorLog(FileSystem& fs, const std::string& appFolder, const std::string& errorLogText) {
    WriteLogFile(fs, appFolder, kErrorLogName, errorLogText);
}
inline void WriteActionsLog(FileSystem& fs, const std::string& appFolder, const std::string& actionsLogText) {
    WriteLogFile(fs, appFolder, kActionsLogName, actionsLogText);
}

}  // namespace orvanta
