#include "package/PathScheme.h"

#include "platform/PathSeparator.h"

namespace orvanta {

std::string SourcePath(const std::string& packageFolder, FileCategory category, const PackageEntry& entry) {
    return packageFolder + InfoOf(category).folder + kSep + entry.FileName;
}

std::string DestinationPath(const std::string& simFolder, const PackageEntry& entry) {
    return simFolder + "Scenery" + kSep + entry.Area + kSep + "scenery" + kSep + entry.FileName;
}

std::string BackupPath(const std::string& destination) { return destination + kBackupExtension; }

std::string MagvarSourcePath(const std::string& packageFolder) { return packageFolder + kMagvarFileName; }

std::string MagvarDestinationPath(const std::string& simFolder) {
    return simFolder + "Scenery" + kSep + "base" + kSep + "Scenery" + kSep + kMagvarFileName;
}

std::string MagvarBackupPath(const std::string& magvarDestination) {
    return magvarDestination + kMagvarBackupExtension;
}

std::string SceneryFolder(const std::string& simFolder) { return simFolder + "Scenery"; }

}  // namespace orvanta
