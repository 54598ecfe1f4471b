#include "engine/BackupMigration.h"

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

void MigrateEntry(FileSystem& fs, const std::string& simFolder, const PackageEntry& entry, const char* oldExtension,
                  std::string& errorLogText, int& failures) {
    const std::string destination = DestinationPath(simFolder, entry);
    const std::string oldBackup = destination + oldExtension;
    if (!fs.Exists(oldBackup)) return;
    const std::string newBackup = BackupPath(destination);
    // The current backup wins: it is the one install and uninstall rely on.
    const FsStatus status = fs.Exists(newBackup) ? fs.DeleteFile(oldBackup) : fs.RenameFile(oldBackup, newBackup);
    if (!status) RecordFailure(errorLogText, "ERROR Renaming backup file: ", oldBackup, status.code, failures);
}

}  // namespace

int MigrateBackupExtensions(FileSystem& fs, const ProgramState& state, std::string& errorLogText) {
    int failures = 0;
    errorLogText.clear();
    const char* oldExtension = (state.SelectedSim == 1 || state.SelectedSim == 2) ? ".raxini" : ".p3dini";
    const std::string& sim = state.SelectedSimFolder;

    for (const PackageEntry& entry : state.Table(FileCategory::APX)) {
        MigrateEntry(fs, sim, entry, entry.Region == kEurope ? oldExtension : kIlsExtension, errorLogText, failures);
    }
    for (const PackageEntry& entry : state.Table(FileCategory::ATX)) {
        if (entry.Region == kEurope) MigrateEntry(fs, sim, entry, oldExtension, errorLogText, failures);
    }
    for (const PackageEntry& entry : state.Table(FileCategory::NVX)) {
        MigrateEntry(fs, sim, entry, oldExtension, errorLogText, failures);
    }
    for (const char* area : kObsoleteAreas) {
        const std::string path = SceneryFolder(sim) + kSep + area + kSep + "scenery" + kSep + area + "INT_T.BGL";
        if (!fs.Exists(path)) continue;
        if (FsStatus status = fs.DeleteFile(path); !status) {
            RecordFailure(errorLogText, "ERROR Killing old file: ", path, status.code, failures);
        }
    }

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
