#include <istream>
#include <ostream>

#include "app/Version.h"
#include "cli/Cli.h"
#include "cli/Selection.h"
#include "cli/StartupSequence.h"
#include "engine/BackupMigration.h"
#include "engine/Install.h"
#include "engine/SimulatorGuard.h"
#include "engine/Uninstall.h"
#include "housekeeping/LaunchCounter.h"
#include "housekeeping/ShaderCache.h"
#include "platform/PathSeparator.h"
#include "sim/Caption.h"
#include "status/FileList.h"
#include "status/FileStatus.h"
#include "status/MagvarStatus.h"

namespace orvanta::cli {

namespace {

void PrintMessage(std::ostream& stream, const MessageText& message) {
    for (const std::string& line : message.lines) stream << line << '\n';
}

// What the start-up sequence leaves for the commands.
struct Prepared {
    StatusSelection selection;
    MagvarOption magvar;
};

// The window program's start-up as far as the commands need it: the selection options
// are checked first (a usage error touches nothing), then single-instance lock, package
// check, simulator choice, protected-folder check, backup extension migration and the
// magvar status; with `scan`, the status scan of the selection.
int Prepare(CliContext& ctx, bool scan, Prepared& prepared) {
    if (const std::string error =
            ParseSelection(ctx.options.regions, ctx.options.categories, ctx.options.forceFull, prepared.selection);
        !error.empty()) {
        ctx.err << "orvanta: " << error << '\n';
        return kExitUsage;
    }
    if (const int code = RunStartupThroughProtectedCheck(ctx); code != kStartupGoesOn) return code;

    FileSystem& fs = ctx.platform.fs;
    if (const int failures = MigrateBackupExtensions(fs, ctx.state, ctx.errorLogText); failures > 0) {
        PrintMessage(ctx.err, MigrationFailureMessage(failures));
        return kExitRefused;
    }
    prepared.magvar = RefreshMagvarStatus(fs, ctx.state);

    if (scan) {
        if (prepared.selection.SelectedRegionCount() >= 1 && prepared.selection.AnyCategory()) {
            if (!RefreshFileStatus(fs, ctx.state, prepared.selection).packageIntact) {
                PrintMessage(ctx.err, MissingPackageFileMessage());
                return kExitRefused;
            }
        } else {
            ResetFileStatus(ctx.state);
        }
    }
    return kStartupGoesOn;
}

// Progress of a run on a terminal's standard error: one line rewritten in place, erased
// before the closing message. While a change waits for a file that another program holds,
// the line names that file.
class TerminalProgress {
public:
    explicit TerminalProgress(CliContext& ctx) : err_(ctx.err), fs_(ctx.platform.fs), on_(ctx.progressOnTerminal) {
        if (!on_) return;
        fs_.SetHoldNotice([this](const std::string& path) {
            Draw(done_, total_, current_, path.empty() ? std::string() : HeldFileText(path));
        });
    }
    ~TerminalProgress() {
        if (on_) fs_.SetHoldNotice({});
        Erase();
    }

    RunProgress Callback() {
        if (!on_) return {};
        return [this](int done, int total, const std::string& current) {
            done_ = done;
            total_ = total;
            current_ = current;
            Draw(done, total, current, "");
        };
    }

    void Erase() {
        if (!on_ || width_ == 0) return;
        err_ << '\r' << std::string(width_, ' ') << '\r' << std::flush;
        width_ = 0;
    }

private:
    void Draw(int done, int total, const std::string& current, const std::string& waiting) {
        std::string line = std::to_string(done) + "/" + std::to_string(total);
        if (!waiting.empty()) {
            line += " " + waiting;
        } else if (!current.empty()) {
            line += "  " + current.substr(current.find_last_of(kSep) + 1);
        }
        const std::size_t shown = line.size();
        if (shown < width_) line += std::string(width_ - shown, ' ');
        err_ << '\r' << line << std::flush;
        width_ = std::max(width_, shown);
    }

    std::ostream& err_;
    FileSystem& fs_;
    bool on_;
    std::size_t width_ = 0;
    int done_ = 0;
    int total_ = 0;
    std::string current_;
};

// The restore question's answer: the option when given, else the terminal's answer (Yes
// is the default button), else No.
bool RestoreAnswer(CliContext& ctx) {
    if (ctx.options.restoreMissing) return true;
    if (ctx.options.keepMissing || ctx.terminalInput == nullptr) return false;
    PrintMessage(ctx.err, RestoreQuestion());
    ctx.err << "[Y/n] " << std::flush;
    std::string answer;
    if (!std::getline(*ctx.terminalInput, answer)) return false;
    const std::size_t first = answer.find_first_not_of(" \t");
    return first == std::string::npos || (answer[first] != 'n' && answer[first] != 'N');
}

// Refuses the run while the simulator runs; prints the guard's message.
bool SimulatorRefuses(CliContext& ctx, const char* operation) {
    const SimulatorActivity activity = IsSimulatorRunning(ctx.platform.processes, ctx.state.SelectedSim, operation);
    if (!activity.running) return false;
    PrintMessageLines(ctx.err, activity.message);
    return true;
}

}  // namespace

int RunStatus(CliContext& ctx) {
    Prepared prepared;
    if (const int code = Prepare(ctx, true, prepared); code != kStartupGoesOn) return code;
    const ProgramState& state = ctx.state;
    ctx.out << BuildCaption(ctx.platform.versions, state.SelectedSim, state.SelectedSimFolder) << '\n';
    ctx.out << RegionStatusCaption(prepared.selection.SelectedRegionCount()) << '\n';
    const StatusView view = DescribeStatus(state, false);
    for (int i = 0; i < kStatusCount; ++i) ctx.out << kStatusLabelNames[i] << ": " << view.counters[i].caption << '\n';
    ctx.out << "Magvar table: " << prepared.magvar.caption << '\n';
    ctx.out << "Simulator activity: " << IsSimulatorRunning(ctx.platform.processes, state.SelectedSim, "").labelCaption
            << '\n';
    return kExitDone;
}

int RunList(CliContext& ctx) {
    const int status = ParseListStatus(ctx.options.commandArgs.front());
    if (status == 0) {
        ctx.err << "orvanta: unknown STATUS '" << ctx.options.commandArgs.front()
                << "' (up-to-date, updatable, deinstallable or missing)\n";
        return kExitUsage;
    }
    Prepared prepared;
    if (const int code = Prepare(ctx, true, prepared); code != kStartupGoesOn) return code;
    FileSystem& fs = ctx.platform.fs;
    ctx.out << DisplayCaptionText(ctx.state, status).value_or("") << '\n';
    const std::vector<std::string> lines = DisplayLines(fs, ctx.state, status);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ctx.out << lines[i];
        if (status == kUpdatable)
            ctx.out << '\t' << kNewFileDateLabel << NewFileDate(fs, ctx.state, static_cast<int>(i));
        ctx.out << '\n';
    }
    return kExitDone;
}

int RunInstallCommand(CliContext& ctx) {
    Prepared prepared;
    if (const int code = Prepare(ctx, true, prepared); code != kStartupGoesOn) return code;
    if (ctx.options.magvar && !prepared.magvar.enabled) {
        ctx.err << "orvanta: the magvar table cannot be installed: " << prepared.magvar.caption << '\n';
        return kExitUsage;
    }
    if (!DescribeStatus(ctx.state, ctx.options.magvar).installEnabled) {
        ctx.out << "Nothing to install\n";
        return kExitDone;
    }
    if (SimulatorRefuses(ctx, kInstallOperationName)) return kExitRefused;

    InstallOptions options;
    options.selection = prepared.selection;
    options.magvar = ctx.options.magvar;
    options.log = ctx.options.log;
    TerminalProgress progress(ctx);
    const InstallResult result = RunInstall({ctx.platform.fs, ctx.platform.regional}, ctx.state, options,
                                            {ctx.errorLogText, ctx.actionsLogText}, progress.Callback());
    progress.Erase();

    int code = kExitDone;
    if (result.Succeeded()) {
        PrintMessage(ctx.out, result.closing);
        if (IsDonationDue(CountUpdateLaunch(ctx.platform.settings))) {
            PrintMessage(ctx.out, DonationPrompt());
            ctx.out << kDonationUrl << '\n';
        }
    } else {
        PrintMessage(ctx.err, result.closing);
        code = kExitErrors;
    }
    if (!result.rescan.packageIntact) {
        PrintMessage(ctx.err, MissingPackageFileMessage());
        return kExitRefused;
    }
    return code;
}

int RunUninstallCommand(CliContext& ctx) {
    Prepared prepared;
    if (const int code = Prepare(ctx, true, prepared); code != kStartupGoesOn) return code;
    if (!DescribeStatus(ctx.state, false).uninstallEnabled) {
        ctx.out << "Nothing to uninstall\n";
        return kExitDone;
    }
    if (SimulatorRefuses(ctx, kUninstallOperationName)) return kExitRefused;

    UninstallOptions options;
    options.selection = prepared.selection;
    options.log = ctx.options.log;
    options.restoreMissing = UninstallAsksRestore(ctx.state) && RestoreAnswer(ctx);
    TerminalProgress progress(ctx);
    const UninstallResult result = RunUninstall({ctx.platform.fs, ctx.platform.regional}, ctx.state, options,
                                                {ctx.errorLogText, ctx.actionsLogText}, progress.Callback());
    progress.Erase();

    const int code = result.errors > 0 ? kExitErrors : kExitDone;
    PrintMessage(result.errors > 0 ? ctx.err : ctx.out, result.closing);
    if (!result.rescan.packageIntact) {
        PrintMessage(ctx.err, MissingPackageFileMessage());
        return kExitRefused;
    }
    return code;
}

int RunCleanShaders(CliContext& ctx) {
    Prepared prepared;
    if (const int code = Prepare(ctx, false, prepared); code != kStartupGoesOn) return code;
    if (ctx.state.ShaderFolder.empty()) {
        ctx.out << "No shader cache folder for the selected simulator\n";
        return kExitDone;
    }
    const std::vector<std::string> stayed = CleanShaderCache(ctx.platform.fs, ctx.state.ShaderFolder);
    if (!stayed.empty()) {
        ctx.err << "Shader cache not emptied: " << ctx.state.ShaderFolder << '\n';
        for (const std::string& path : stayed) ctx.err << "Not removed: " << path << '\n';
        return kExitErrors;
    }
    ctx.out << "Shader cache emptied: " << ctx.state.ShaderFolder << '\n';
    return kExitDone;
}

}  // namespace orvanta::cli
