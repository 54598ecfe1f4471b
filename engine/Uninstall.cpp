#include "engine/Uninstall.h"

#include <algorithm>

#include "engine/FileChecks.h"
#include "engine/Logs.h"
#include "engine/WriteProtection.h"
#include "package/PathScheme.h"

namespace orvanta {

namespace {

class UninstallRun {
public:
    UninstallRun(RunTools tools, ProgramState& state, const UninstallOptions& options, RunLogs logs)
        : tools_(tools),
          state_(state),
          options_(options),
          logs_(logs) {}

    UninstallResult Run(const RunProgress& progress) {
        logs_.errorLogText.clear();
        logs_.actionsLogText.clear();
        restoreMissing_ = UninstallAsksRestore(state_) && options_.restoreMissing;

        const int count =
            std::min<int>(state_.StatusCounts[kDeinstallable], static_cast<int>(state_.DeinstallableList.size()));
        for (int i = 0; i < count; ++i) {
            if (progress) progress(i, count, state_.DeinstallableList[i]);
            RestoreFile(state_.DeinstallableList[i]);
        }
        if (progress) progress(count, count, {});
        tools_.fs.FlushFolders();

        if (options_.log) WriteActionsLog(tools_.fs, state_.AppFolder, logs_.actionsLogText);
        result_.rescan = RefreshFileStatus(tools_.fs, state_, options_.selection);

        if (result_.errors > 0) {
            WriteErrorLog(tools_.fs, state_.AppFolder, logs_.errorLogText);
            result_.closing = {
                MsgIcon::Exclamation,
                {"Unable to complete full uninstall",
                 std::to_string(result_.errors) + " BGL file(s) couldn't be restored", kSeeErrorLogLine}};
        } else {
            result_.closing = {MsgIcon::Information,
                               {"Uninstall has been successfully completed",
                                std::to_string(result_.restored) + " BGL file(s) have been restored"}};
        }
        return result_;
    }

private:
    // A copy cut short by a crash or a kill leaves its temporary file beside the destination
    // (the destination itself is never partly written). It is ours, never the user's: remove it.
    void RemoveCopyLeftover(const std::string& destination) {
        const std::string leftover = PartialCopyPath(destination);
        if (!tools_.fs.Exists(leftover)) return;
        (void)tools_.fs.SetNormalAttributes(leftover);
        (void)tools_.fs.DeleteFile(leftover);
    }

    void RestoreFile(const std::string& destination) {
        const std::string backup = BackupPath(destination);
        RemoveCopyLeftover(destination);
        try {
            // Files missing in the simulator stay missing unless the user asked for them.
            if (!tools_.fs.Exists(destination) && !restoreMissing_) return;
            // Only a file comes back: a link, a folder or a device at the backup name never
            // takes the destination's place, nor does anything of a name held in two cases.
            // Checked before the installed file goes.
            step_ = kStepRestore;
            ThrowOnFailure(CheckSingleName(tools_.fs, destination));
            ThrowOnFailure(CheckSingleName(tools_.fs, backup));
            ThrowOnFailure(CheckPlainFile(tools_.fs, backup));
            if (tools_.fs.Exists(destination)) {
                if (!ClearWriteProtection(tools_.fs, destination)) {
                    step_ = kStepWriteProtection;
                    throw StepFailure{0};
                }
                std::string d1;
                if (options_.log) d1 = DescribeForStep(tools_, destination);
                step_ = kStepDelete;
                ThrowOnFailure(tools_.fs.DeleteFile(destination));
                if (options_.log) AppendLine(logs_.actionsLogText, "Deleting: " + destination + d1);
            }
            step_ = kStepRestore;
            std::string d2;
            if (options_.log) d2 = DescribeForStep(tools_, backup);
            ThrowOnFailure(tools_.fs.RenameFile(backup, destination));
            if (options_.log) AppendLine(logs_.actionsLogText, "Restoring file from: " + backup + d2);
            ++result_.restored;
        } catch (const StepFailure& failure) {
            RecordError(failure.code, destination, backup);
        }
    }

    void RecordError(int code, const std::string& destination, const std::string& backup) {
        ++result_.errors;
        std::string& log = logs_.errorLogText;
        AppendLine(log, std::string("Error Id: ") + kStepNames[step_] + " - Error number: " + std::to_string(code));
        if (step_ == kStepDelete || step_ == kStepWriteProtection) {
            AppendLine(log, "File: " + destination + DescribeForRecord(tools_, destination));
            AppendLine(log, "");
        } else if (step_ == kStepRestore) {
            AppendLine(log, "Original File to be restored: " + destination + DescribeForRecord(tools_, destination));
            AppendLine(log, "Backup File replacement: " + backup + DescribeForRecord(tools_, backup));
            AppendLine(log, "");
        }
    }

    RunTools tools_;
    ProgramState& state_;
    const UninstallOptions& options_;
    RunLogs logs_;
    UninstallResult result_;
    bool restoreMissing_ = false;
    // Set at each step and not reset between files.
    int step_ = 0;
};

}  // namespace

bool UninstallAsksRestore(const ProgramState& state) { return state.StatusCounts[kMissingDestination] > 0; }

MessageText RestoreQuestion() {
    return {MsgIcon::Question,
            {"Restore missing files from backups if available?", "If [No], backup files will be kept"}};
}

UninstallResult RunUninstall(RunTools tools, ProgramState& state, const UninstallOptions& options, RunLogs logs,
                             const RunProgress& progress) {
    return UninstallRun(tools, state, options, logs).Run(progress);
}

}  // namespace orvanta
