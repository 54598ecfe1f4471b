#include <ostream>

#include "app/Startup.h"
#include "cli/Cli.h"
#include "engine/Logs.h"
#include "package/PackageCheck.h"

namespace orvanta::cli {

int RunCheck(CliContext& ctx) {
    FileSystem& fs = ctx.platform.fs;
    CheckPackage(fs, ctx.state, ctx.errorLogText);
    if (!ctx.errorLogText.empty()) {
        WriteErrorLog(fs, ctx.state.AppFolder, ctx.errorLogText);
        PrintMessageLines(ctx.out, ctx.errorLogText);
        return kExitRefused;
    }
    ctx.out << "Package OK\n";
    for (FileCategory category : kAllCategories) {
        ctx.out << InfoOf(category).prefix << ": " << ctx.state.Table(category).size() << " files\n";
    }
    ctx.out << "AIRAC Cycle: " << ReadCycleLabel(fs, ctx.state.AppFolder) << '\n';
    return kExitDone;
}

}  // namespace orvanta::cli
