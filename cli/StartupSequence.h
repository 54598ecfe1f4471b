#pragma once

#include <array>

#include "cli/Cli.h"

namespace orvanta::cli {

// What RunStartupThroughProtectedCheck answers when start-up may go on.
inline constexpr int kStartupGoesOn = -1;

// Single-instance lock, package check, simulator choice, protected-folder check.
// Returns -1 when start-up may go on (ctx.state has SelectedSim, SelectedSimFolder, ShaderFolder), else the exit code,
// messages printed.
int RunStartupThroughProtectedCheck(CliContext& ctx);

// Simulator detection over every place the platform knows (each Wine prefix searched);
// answers for each version the index of the place it was found in, -1 when not found.
std::array<int, kLastSim + 1> DetectEverywhere(CliContext& ctx);

// "N<TAB>name<TAB>folder" of a detected simulator, "N<TAB>name<TAB>-" of one not found.
std::string FormatDetectLine(SimVersion version, const std::string& folder);

}  // namespace orvanta::cli
