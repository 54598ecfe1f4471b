#include <ostream>

#include "cli/Cli.h"
#include "cli/StartupSequence.h"

namespace orvanta::cli {

int RunDetect(CliContext& ctx) {
    ctx.state.NoDetect = ctx.options.noDetect;
    if (!ctx.state.NoDetect) DetectEverywhere(ctx);
    for (SimVersion v = kFirstSim; v <= kLastSim; ++v) {
        ctx.out << FormatDetectLine(v, ctx.state.SimFolders[static_cast<std::size_t>(v)]) << '\n';
    }
    return kExitDone;
}

}  // namespace orvanta::cli
