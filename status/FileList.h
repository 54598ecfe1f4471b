#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/ProgramState.h"
#include "platform/FileSystem.h"

namespace orvanta {

// "dd-mm-yyyy".
std::string FormatDayMonthYear(const LocalDateTime& time);

// "APX47180.bgl [07-03-2021] - Region:0502" for a destination path: the last 12
// characters, the destination's modification date, and the four characters of the area
// folder after simFolder + "Scenery" + separator. A destination that has gone (only its
// backup is left) takes the missing-file line instead.
std::string FormatBGLEntry(FileSystem& fs, const std::string& simFolder, const std::string& destination);
// "APX47180.bgl - Region:0502".
std::string FormatMissingBGLEntry(const std::string& simFolder, const std::string& destination);

// The file list window's caption for a status 1..4 and its count ("Up-to-date files [3]");
// nullopt for any other status, where the caption stays as it is.
std::optional<std::string> DisplayCaptionText(const ProgramState& state, int displayedStatus);

// The new-file-date labels show only for the updatable list.
inline bool ShowsNewFileDate(int displayedStatus) { return displayedStatus == kUpdatable; }

// The lines of the file list window for a status 1..4, from the lists of the last scan.
std::vector<std::string> DisplayLines(FileSystem& fs, const ProgramState& state, int displayedStatus);

// The date of the package file that would replace updatable entry `index` (0-based);
// empty when the index is out of range or the date cannot be read.
std::string NewFileDate(FileSystem& fs, const ProgramState& state, int index);

inline constexpr const char* kNewFileDateLabel = "New file date: ";

}  // namespace orvanta
