#include "engine/Install.h"

#include <algorithm>

#include "engine/FileChecks.h"
#include "engine/Logs.h"
#include "engine/WriteProtection.h"
#include "package/PathScheme.h"

namespace orvanta {

namespace {

class InstallRun {
public:
    InstallRun(RunTools tools, ProgramState& state, const InstallOptions& options, RunLogs logs)
        : tools_(tools),
          state_(state),
          options_(options),
          logs_(logs) {}

    InstallResult Run(const RunProgress& progress) {
        logs_.errorLogText.clear();
        logs_.actionsLogText.clear();

        const int updatable = std::min<int>(
            state_.StatusCounts[kUpdatable],
            static_cast<int>(std::min(state_.UpdatableSourceList.size(), state_.UpdatableDestList.size())));
        const int total = updatable + (options_.magvar ? 1 : 0);
        int done = 0;

        if (options_.magvar) {
            if (progress) progress(done, total, MagvarDestinationPath(state_.SelectedSimFolder));
            InstallMagvarTable();
            ++done;
        }
        for (int i = 0; i < updatable; ++i, ++done) {
            if (progress) progress(done, total, state_.UpdatableDestList[i]);
            InstallFile(state_.UpdatableSourceList[i], state_.UpdatableDestList[i]);
        }
        if (progress) progress(done, total, {});
        tools_.fs.FlushFolders();

        if (options_.log) {
            const int upToDate =
                std::min<int>(state_.StatusCounts[kUpToDate], static_cast<int>(state_.UpToDateList.size()));
            for (int i = 0; i < upToDate; ++i) {
                const std::string& path = state_.UpToDateList[i];
                AppendLine(logs_.actionsLogText, "Unchanged: " + path + DescribeForRecord(tools_, path));
            }
            WriteActionsLog(tools_.fs, state_.AppFolder, logs_.actionsLogText);
        }
        if (result_.magvarAttempted) result_.magvarOption = RefreshMagvarStatus(tools_.fs, state_);

        StatusSelection rescan = options_.selection;
        rescan.forceFull = false;
        result_.rescan = RefreshFileStatus(tools_.fs, state_, rescan);

        if (result_.errors > 0) {
            WriteErrorLog(tools_.fs, state_.AppFolder, logs_.errorLogText);
            result_.closing = {MsgIcon::Exclamation,
                               {"Unable to complete full update",
                                std::to_string(result_.errors) + " BGL file(s) couldn't be updated", kSeeErrorLogLine}};
        } else {
            result_.closing = {MsgIcon::Information,
                               {"Update has been successfully completed",
                                std::to_string(result_.replaced) + " BGL file(s) have been replaced"}};
        }
        return result_;
    }

private:
    void InstallMagvarTable() {
        result_.magvarAttempted = true;
        const std::string source = MagvarSourcePath(state_.AppFolder);
        const std::string destination = MagvarDestinationPath(state_.SelectedSimFolder);
        const std::string backup = MagvarBackupPath(destination);
        try {
            std::string d1;
            if (options_.log) d1 = DescribeForStep(tools_, destination);
            if (!tools_.fs.Exists(backup)) {
                // The backup is a copy, not the table moved aside: the simulator, which cannot
                // run without a magvar table, keeps one whatever stops the replacement (a
                // failed copy, a crash), and the program can still read it next time.
                ThrowOnFailure(tools_.fs.CopyFile(destination, backup));
                if (options_.log) {
                    AppendLine(logs_.actionsLogText, "Backup rename: " + destination + d1 + " TO " + backup);
                }
            }
            // Replaced in one step, which a read-only table would refuse on Windows.
            if (!ClearWriteProtection(tools_.fs, destination)) throw StepFailure{kPermissionDenied};
            ThrowOnFailure(tools_.fs.CopyFile(source, destination));
            if (options_.log) {
                AppendLine(logs_.actionsLogText,
                           "Replaced: " + destination + d1 + " BY " + source + DescribeForStep(tools_, source));
            }
            ++result_.replaced;
        } catch (const StepFailure& failure) {
            ++result_.errors;
            AppendLine(logs_.errorLogText,
                       "Error Id: Unable to update magvar table - Error number: " + std::to_string(failure.code));
        }
    }

    void InstallFile(const std::string& source, const std::string& destination) {
        const std::string backup = BackupPath(destination);
        try {
            // Nothing changes for a file whose name the folder holds twice, in two cases.
            step_ = kStepBackup;
            ThrowOnFailure(CheckSingleName(tools_.fs, destination));
            // Nor for a package file that is no file to read (gone, a folder, a FIFO): the
            // simulator's file would otherwise be moved aside for nothing.
            step_ = kStepCopy;
            ThrowOnFailure(CheckReadableFile(tools_.fs, source));
            if (!ClearWriteProtection(tools_.fs, destination)) {
                step_ = kStepWriteProtection;
                throw StepFailure{0};
            }
            std::string d1;
            if (options_.log) d1 = DescribeForStep(tools_, destination);
            // Only the first install backs the simulator's file up. A rename that never
            // replaces asks whether a backup is there and makes one in a single step.
            step_ = kStepBackup;
            const FsStatus backedUp = tools_.fs.RenameFile(destination, backup);
            if (backedUp) {
                if (options_.log) {
                    AppendLine(logs_.actionsLogText, "Backup rename: " + destination + d1 + " TO " + backup);
                }
            } else if (backedUp.code != kFileExists || !CheckPlainFile(tools_.fs, backup)) {
                // Only a file at the backup name is a backup: a link, a folder or a device
                // there would leave the simulator's file with no copy kept.
                throw StepFailure{backedUp.code};
            }
            step_ = kStepCopy;
            std::string d2;
            if (options_.log) d2 = DescribeForStep(tools_, destination);
            ThrowOnFailure(tools_.fs.CopyFile(source, destination));
            if (options_.log) {
                AppendLine(logs_.actionsLogText,
                           "Replaced: " + destination + d2 + " BY " + source + DescribeForStep(tools_, source));
            }
            ++result_.replaced;
        } catch (const StepFailure& failure) {
            RecordError(failure.code, source, destination);
        }
    }

    void RecordError(int code, const std::string& source, const std::string& destination) {
        ++result_.errors;
        std::string& log = logs_.errorLogText;
        AppendLine(log, std::string("Error Id: ") + kStepNames[step_] + " - Error number: " + std::to_string(code));
        if (step_ == kStepBackup || step_ == kStepWriteProtection) {
            AppendLine(log, "File: " + destination + DescribeForRecord(tools_, destination));
            AppendLine(log, "");
        } else if (step_ == kStepCopy) {
            AppendLine(log, "Original File to be replaced: " + destination + DescribeForRecord(tools_, destination));
            AppendLine(log, "Source File replacement: " + source + DescribeForRecord(tools_, source));
            AppendLine(log, "");
        }
    }

    RunTools tools_;
    ProgramState& state_;
    const InstallOptions& options_;
    RunLogs logs_;
    InstallResult result_;
    // The step in progress; like the run's other counters it lives for the whole run.
    int step_ = kStepBackup;
};

}  // namespace

InstallResult RunInstall(RunTools tools, ProgramState& state, const InstallOptions& options, RunLogs logs,
                         const RunProgress& progress) {
    return InstallRun(tools, state, options, logs).Run(progress);
}

}  // namespace orvanta
