#pragma once

#include <array>
#include <string>

#include "app/Message.h"
#include "app/ProgramState.h"
#include "platform/FileSystem.h"

namespace orvanta {

// What the user has chosen for a scan: the ticked regions (by Region index), the ticked
// categories (by FileCategory) and the "Force full install" option.
struct StatusSelection {
    std::array<bool, kRegionCount> regions{};
    std::array<bool, kCategoryCount> categories{};
    bool forceFull = false;

    int SelectedRegionCount() const;
    bool AnyCategory() const;
    bool RegionTicked(int index) const { return index >= 0 && index < kRegionCount && regions[index]; }
    bool CategoryTicked(FileCategory c) const { return categories[static_cast<int>(c)]; }
};

// The outcome of a scan. A package file missing since the start-up check stops the scan:
// counts and lists are then left as they were, and the program has to end with
// MissingPackageFileMessage().
struct ScanResult {
    bool packageIntact = true;
    std::string missingSource;  // the source path that was missing
};

// Same length in bytes and the same local calendar day of last modification; the time of
// day takes no part.
bool IsSameFile(const FileInfo& a, const FileInfo& b);

// Classifies every package file of the selection against the simulator's copy and
// replaces StatusCounts and the five lists of the state (each list holds exactly its
// count of paths, in scan order: APX, ATX, NVX, each in table order). Reads no file
// content: per file one query each of the source, the backup and the destination.
ScanResult RefreshFileStatus(FileSystem& fs, ProgramState& state, const StatusSelection& selection);

// The empty status: all counts 0; the lists are left alone (nothing reads them).
void ResetFileStatus(ProgramState& state);

// One of the five counters of the status frame.
struct CounterView {
    std::string caption;     // "None" or "57 files"
    bool clickable = false;  // arrow-with-question-mark pointer and the tooltip below
    std::string tooltip;     // "Click to show list" when clickable, else empty
};

// The counters and buttons as the last scan (or reset) leaves them.
struct StatusView {
    std::array<CounterView, kStatusCount> counters;
    bool installEnabled = false;    // something updatable, or the magvar option ticked
    bool uninstallEnabled = false;  // something deinstallable
};

// The view of the current counts. After ResetFileStatus all counts are 0, so this gives
// the reset view too (the reset also turns the missing-destination counter green, which
// is the window's to do).
StatusView DescribeStatus(const ProgramState& state, bool magvarTicked);

// "None" below 1, else the count followed by " files".
std::string CounterCaption(int count);

// "Region status [3 region(s) selected]", or "Region status [No region selected]".
std::string RegionStatusCaption(int selectedRegionCount);

// The message that ends the program when a package file has gone since start-up.
MessageText MissingPackageFileMessage();

inline constexpr const char* kCounterTooltip = "Click to show list";
inline constexpr const char* kStatusLabelNames[kStatusCount] = {
    "Available files", "Up-to-date files", "Updatable files", "Deinstallable", "Missing destination",
};

}  // namespace orvanta
