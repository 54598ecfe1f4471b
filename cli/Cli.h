#pragma once

#include <iosfwd>
#include <string>

#include "app/ProgramState.h"
#include "cli/CliOptions.h"
#include "platform/NativePlatform.h"
#include "platform/Platform.h"

namespace orvanta::cli {

enum ExitCode : int {
    kExitDone = 0,
    kExitErrors = 1,
    kExitUsage = 2,
    kExitRefused = 3,
};

// What every command works with.
struct CliContext {
    Platform& platform;
    const CliOptions& options;
    std::ostream& out;
    std::ostream& err;
    ProgramState state;
    std::string errorLogText;
    std::string actionsLogText;
    // Set only when the streams are the process's own and a terminal: progress is drawn on
    // standard error, and the restore question is asked on standard input.
    bool progressOnTerminal = false;
    std::istream* terminalInput = nullptr;
    // Where detection looks (every Wine prefix searched); without it, platform.registry.
    NativePlatform* native = nullptr;
};

// Sets AppTitle and AppFolder (from --package, else the program's folder).
void InitProgramState(CliContext& ctx);

// Prints a message box's lines (separated by CR LF in the box) one per line.
void PrintMessageLines(std::ostream& stream, const std::string& crlfText);

int RunCheck(CliContext& ctx);
int RunDetect(CliContext& ctx);
int RunStatus(CliContext& ctx);
int RunList(CliContext& ctx);
int RunInstallCommand(CliContext& ctx);
int RunUninstallCommand(CliContext& ctx);
int RunCleanShaders(CliContext& ctx);

// Runs a whole command line; the entry point of the program and of the tests. The
// platform options are the command line's own (--wine-prefix) over the given ones.
int RunOrvanta(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               NativePlatformOptions platformOptions = {});

}  // namespace orvanta::cli
