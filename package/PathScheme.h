#pragma once

#include <string>

#include "package/PackageTypes.h"

namespace orvanta {

// Where a catalogue entry lies in the package, where it goes in the simulator and where
// the simulator's own file is kept. Folders end with the separator.
std::string SourcePath(const std::string& packageFolder, FileCategory category, const PackageEntry& entry);
std::string DestinationPath(const std::string& simFolder, const PackageEntry& entry);
// The backup name appends the extension to the full file name.
std::string BackupPath(const std::string& destination);

std::string MagvarSourcePath(const std::string& packageFolder);
std::string MagvarDestinationPath(const std::string& simFolder);
std::string MagvarBackupPath(const std::string& magvarDestination);

// simFolder + "Scenery", without a trailing separator.
std::string SceneryFolder(const std::string& simFolder);

inline constexpr const char* kBackupExtension = ".bglbckup";
inline constexpr const char* kMagvarBackupExtension = ".bak";
inline constexpr const char* kCycleFileName = "Cycle.txt";
inline constexpr const char* kMagvarFileName = "magdec.bgl";

}  // namespace orvanta
