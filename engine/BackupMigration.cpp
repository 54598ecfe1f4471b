#include "engine/BackupMigration.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <vector>

#include "engine/Logs.h"
#include "package/PathScheme.h"

namespace orvanta {

namespace {

constexpr std::int16_t kEurope = 4;
constexpr const char* kIlsExtension = ".ilsbckup";
constexpr const char* kObsoleteAreas[] = {"0501", "0502", "0600", "0601", "0602"};

void RecordFailure(std::string& errorLogText, const char* what, const std::string& path, int code, int& failures) {
    ++failures;
    AppendLine(errorLogText, what + path);
    AppendLine(errorLogText, "Error number: " + std::to_string(code));
    AppendLine(errorLogText, "");
}

void LowerInPlace(std::string& s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
}

// Whether a name exists, asked of each area folder once: almost none does, and proving a
// name absent in every letter case costs about as much as listing its folder. A folder that
// cannot be listed is asked name by name.
class ListedNames {
public:
    explicit ListedNames(FileSystem& fs) : fs_(fs) {}

    bool Exists(const std::string& path) {
        const std::size_t cut = path.find_last_of(kSep);
        if (cut == std::string::npos) return fs_.Exists(path);
        folder_.assign(path, 0, cut);
        auto it = folders_.find(folder_);
        if (it == folders_.end()) {
            it = folders_.emplace(folder_, std::nullopt).first;
            std::vector<FolderEntry> entries;
            if (fs_.ListFolder(it->first, entries)) {
                std::vector<std::string>& names = it->second.emplace();
                names.reserve(entries.size());
                for (FolderEntry& e : entries) {
                    LowerInPlace(e.name);
                    names.push_back(std::move(e.name));
                }
                std::sort(names.begin(), names.end());
            }
        }
        if (!it->second) return fs_.Exists(path);
        name_.assign(path, cut + 1);
        LowerInPlace(name_);
        return std::binary_search(it->second->begin(), it->second->end(), name_);
    }

private:
    FileSystem& fs_;
    // Sorted lower-case names, or none when the folder could not be listed.
    std::unordered_map<std::string, std::optional<std::vector<std::string>>> folders_;
    std::string folder_, name_;  // kept from one call to the next: names are many
};

// A rename or deletion here changes only its own entry's old name, so each folder's listing
// holds for the whole pass. True when it changed something.
bool MigrateEntry(FileSystem& fs, ListedNames& old, const std::string& simFolder, const PackageEntry& entry,
                  const char* oldExtension, std::string& errorLogText, int& failures) {
    const std::string destination = DestinationPath(simFolder, entry);
    const std::string oldBackup = destination + oldExtension;
    if (!old.Exists(oldBackup)) return false;
    const std::string newBackup = BackupPath(destination);
    // The current backup wins: it is the one install and uninstall rely on.
    const FsStatus status = fs.Exists(newBackup) ? fs.DeleteFile(oldBackup) : fs.RenameFile(oldBackup, newBackup);
    if (!status) RecordFailure(errorLogText, "ERROR Renaming backup file: ", oldBackup, status.code, failures);
    return status.ok();
}

}  // namespace

int MigrateBackupExtensions(FileSystem& fs, const ProgramState& state, std::string& errorLogText) {
    int failures = 0;
    errorLogText.clear();
    const char* oldExtension = (state.SelectedSim == 1 || state.SelectedSim == 2) ? ".raxini" : ".p3dini";
    const std::string& sim = state.SelectedSimFolder;
    ListedNames old(fs);
    bool changed = false;

    for (const PackageEntry& entry : state.Table(FileCategory::APX)) {
        changed |= MigrateEntry(fs, old, sim, entry, entry.Region == kEurope ? oldExtension : kIlsExtension,
                                errorLogText, failures);
    }
    for (const PackageEntry& entry : state.Table(FileCategory::ATX)) {
        if (entry.Region == kEurope) changed |= MigrateEntry(fs, old, sim, entry, oldExtension, errorLogText, failures);
    }
    for (const PackageEntry& entry : state.Table(FileCategory::NVX)) {
        changed |= MigrateEntry(fs, old, sim, entry, oldExtension, errorLogText, failures);
    }
    for (const char* area : kObsoleteAreas) {
        const std::string path = SceneryFolder(sim) + kSep + area + kSep + "scenery" + kSep + area + "INT_T.BGL";
        if (!old.Exists(path)) continue;
        if (FsStatus status = fs.DeleteFile(path); !status) {
            RecordFailure(errorLogText, "ERROR Killing old file: ", path, status.code, failures);
        } else {
            changed = true;
        }
    }
    // Nearly every start finds nothing to migrate, and then costs no flush.
    if (changed) fs.FlushFolders();

    if (failures > 0) WriteErrorLog(fs, state.AppFolder, errorLogText);
    return failures;
}

MessageText MigrationFailureMessage(int failureCount) {
    return {MsgIcon::Critical,
            {std::to_string(failureCount) +
                 " backup files couldn't be renamed with a .bglbckup extension. A manual renaming is required "
                 "before using the installer",
             "See the Orvanta_Installer.log file for details"}};
}

}  // namespace orvanta
