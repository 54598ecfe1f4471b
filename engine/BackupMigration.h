#pragma once

#include <string>

#include "app/Message.h"
#include "app/ProgramState.h"
#include "platform/FileSystem.h"

namespace orvanta {

// Brings backups left under older extensions to ".bglbckup" (an old backup whose new
// name is taken is deleted instead) and deletes the obsolete area files of five area
// folders. Empties errorLogText, records each failed item, writes the error log when
// anything failed, and returns the number of failed items.
int MigrateBackupExtensions(FileSystem& fs, const ProgramState& state, std::string& errorLogText);

// The start-up refusal after a failed migration.
MessageText MigrationFailureMessage(int failureCount);

inline constexpr const char* kMigratingText = " Updating backup file extensions, please wait";

}  // namespace orvanta
