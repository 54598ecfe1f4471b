#include "package/PathScheme.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>

#include "platform/PathSeparator.h"

namespace orvanta {

namespace {

// The parts joined in one allocation: a scan builds these paths for every catalogue entry.
std::string Joined(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (std::string_view part : parts) size += part.size();
    std::string path(size, '\0');
    char* out = path.data();
    for (std::string_view part : parts) out = std::copy(part.begin(), part.end(), out);
    return path;
}

constexpr char kSepText[] = {kSep, '\0'};

}  // namespace

std::string SourcePath(const std::string& packageFolder, FileCategory category, const PackageEntry& entry) {
    return Joined({packageFolder, InfoOf(category).folder, kSepText, entry.FileName});
}

std::string DestinationPath(const std::string& simFolder, const PackageEntry& entry) {
    return Joined({simFolder, "Scenery", kSepText, entry.Area, kSepText, "scenery", kSepText, entry.FileName});
}

std::string BackupPath(const std::string& destination) { return Joined({destination, kBackupExtension}); }

std::string MagvarSourcePath(const std::string& packageFolder) { return packageFolder + kMagvarFileName; }

std::string MagvarDestinationPath(const std::string& simFolder) {
    return simFolder + "Scenery" + kSep + "base" + kSep + "Scenery" + kSep + kMagvarFileName;
}

std::string MagvarBackupPath(const std::string& magvarDestination) {
    return magvarDestination + kMagvarBackupExtension;
}

std::string SceneryFolder(const std::string& simFolder) { return simFolder + "Scenery"; }

}  // namespace orvanta
