#include "cli/StartupSequence.h"

#include <ostream>

#include "app/Paths.h"
#include "app/StartupMessages.h"
#include "engine/Logs.h"
#include "package/PackageCheck.h"
#include "sim/FolderJudgement.h"
#include "sim/ProtectedFolder.h"
#include "sim/SimDetection.h"
#include "sim/SimTable.h"

namespace orvanta::cli {

namespace {

template <std::size_t N>
void PrintLines(std::ostream& stream, const std::array<const char*, N>& lines) {
    for (const char* line : lines) stream << line << '\n';
}

void PrintDetected(CliContext& ctx) {
    for (SimVersion v = kFirstSim; v <= kLastSim; ++v) {
        const std::string& folder = ctx.state.SimFolders[static_cast<std::size_t>(v)];
        if (!folder.empty()) ctx.err << FormatDetectLine(v, folder) << '\n';
    }
}

int CountDetected(const ProgramState& state) {
    int count = 0;
    for (SimVersion v = kFirstSim; v <= kLastSim; ++v) {
        if (!state.SimFolders[static_cast<std::size_t>(v)].empty()) ++count;
    }
    return count;
}

SimVersion OnlyDetected(const ProgramState& state) {
    for (SimVersion v = kFirstSim; v <= kLastSim; ++v) {
        if (!state.SimFolders[static_cast<std::size_t>(v)].empty()) return v;
    }
    return kNoSim;
}

// Sets SelectedSim and SelectedSimFolder as the options and detection say; prints the
// refusal and answers its exit code otherwise.
int ChooseSimulator(CliContext& ctx) {
    ProgramState& state = ctx.state;
    const CliOptions& o = ctx.options;
    if (o.simFolder) {
        const FolderJudgement j = JudgeSimFolder(ctx.platform.fs, ctx.platform.versions, *o.simFolder);
        if (j.verdict != FolderVerdict::Selected) {
            PrintMessageLines(ctx.err, j.message);
            return kExitRefused;
        }
        state.SelectedSim = j.sim;
        state.SelectedSimFolder = j.folder;
        return kStartupGoesOn;
    }
    const int detected = CountDetected(state);
    if (o.sim) {
        const SimVersion wanted = static_cast<SimVersion>(*o.sim);
        const std::string& folder = state.SimFolders[static_cast<std::size_t>(wanted)];
        if (folder.empty()) {
            ctx.err << "orvanta: simulator " << wanted << " (" << FindSimInfo(wanted)->name << ") was not detected";
            if (state.NoDetect) ctx.err << " (detection is off)";
            ctx.err << '\n';
            if (detected > 0) {
                ctx.err << "Detected simulators:\n";
                PrintDetected(ctx);
            }
            return kExitUsage;
        }
        state.SelectedSim = wanted;
        state.SelectedSimFolder = folder;
        return kStartupGoesOn;
    }
    if (detected == 1) {
        state.SelectedSim = OnlyDetected(state);
        state.SelectedSimFolder = state.SimFolders[static_cast<std::size_t>(state.SelectedSim)];
        return kStartupGoesOn;
    }
    if (state.NoDetect) {
        ctx.err << "orvanta: simulator detection is off; choose a simulator folder with --sim-folder DIR\n";
    } else if (detected == 0) {
        ctx.err << "orvanta: no simulator was detected; choose a simulator folder with --sim-folder DIR\n";
    } else {
        ctx.err << "orvanta: " << detected
                << " simulators were detected; choose one with --sim N or --sim-folder DIR\n"
                   "Detected simulators:\n";
        PrintDetected(ctx);
    }
    return kExitUsage;
}

// The shader caches of the chosen simulator are those of the Wine prefix it was found in:
// the one detection found its folder in, else the one that holds the folder, else the first.
void UseLocalAppDataOfChosen(CliContext& ctx, const std::array<int, kLastSim + 1>& foundIn) {
    if (ctx.native == nullptr) return;
    const ProgramState& state = ctx.state;
    const auto sim = static_cast<std::size_t>(state.SelectedSim);
    if (foundIn[sim] >= 0 && state.SelectedSimFolder == state.SimFolders[sim]) {
        ctx.native->UseLocalAppDataOf(static_cast<std::size_t>(foundIn[sim]));
        return;
    }
    const std::vector<SimulatorRegistry> registries = ctx.native->SimulatorRegistries();
    for (std::size_t i = 0; i < registries.size(); ++i) {
        const std::string prefix =
            registries[i].winePrefix.empty() ? std::string() : AddBackslash(registries[i].winePrefix);
        if (!prefix.empty() && state.SelectedSimFolder.compare(0, prefix.size(), prefix) == 0) {
            ctx.native->UseLocalAppDataOf(i);
            return;
        }
    }
    ctx.native->UseLocalAppDataOf(0);
}

}  // namespace

std::array<int, kLastSim + 1> DetectEverywhere(CliContext& ctx) {
    std::vector<Registry*> registries = {&ctx.platform.registry};
    if (ctx.native != nullptr) {
        registries.clear();
        for (const SimulatorRegistry& r : ctx.native->SimulatorRegistries()) registries.push_back(r.registry);
    }
    return DetectSimulatorsInTurn(ctx.platform, registries, ctx.state);
}

std::string FormatDetectLine(SimVersion version, const std::string& folder) {
    const SimVersionInfo* info = FindSimInfo(version);
    return std::to_string(version) + '\t' + (info != nullptr ? info->name : "") + '\t' +
           (folder.empty() ? std::string("-") : folder);
}

int RunStartupThroughProtectedCheck(CliContext& ctx) {
    Platform& p = ctx.platform;
    ProgramState& state = ctx.state;

    if (!p.env.AcquireSingleInstanceLock()) {
        PrintLines(ctx.err, kAnotherInstanceLines);
        if (const std::string file = p.env.LockFileInTheWay(); !file.empty()) {
            ctx.err << LockFileInTheWayLine(file) << '\n';
        }
        return kExitRefused;
    }
    state.NoDetect = ctx.options.noDetect;

    CheckPackage(p.fs, state, ctx.errorLogText);
    if (!ctx.errorLogText.empty()) {
        WriteErrorLog(p.fs, state.AppFolder, ctx.errorLogText);
        PrintLines(ctx.err, kPackageDamagedLines);
        return kExitRefused;
    }

    std::array<int, kLastSim + 1> foundIn;
    foundIn.fill(-1);
    if (!state.NoDetect) foundIn = DetectEverywhere(ctx);
    if (const int code = ChooseSimulator(ctx); code != kStartupGoesOn) return code;
    UseLocalAppDataOfChosen(ctx, foundIn);
    state.ShaderFolder = ShaderCacheFolder(p.fs, p.env, state.SelectedSim);

    if (!IsSceneryWritable(p, state)) {
        ctx.err << kProtectedFolderMessage << '\n';
        return kExitRefused;
    }
    return kStartupGoesOn;
}

}  // namespace orvanta::cli
