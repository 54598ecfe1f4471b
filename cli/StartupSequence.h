#pragma once

#include "cli/Cli.h"

namespace orvanta::cli {

// What RunStartupThroughProtectedCheck answers when start-up may go on.
inline constexpr int kStartupGoesOn = -1;

// Single-instance lock, package check, simulator choice, protected-folder check.
// Returns -1 when start-up may go on (ctx.state has SelectedSim, SelectedSimFolder, ShaderFolder), else the exit code,
// messages printed.
int RunStartupThroughProtectedCheck(CliContext& ctx);

// "N<TAB>name<TAB>folder" of a detected simulator, "N<TAB>name<TAB>-" of one not found.
std::string FormatDetectLine(SimVersion version, const std::string& folder);

}  // namespace orvanta::cli
