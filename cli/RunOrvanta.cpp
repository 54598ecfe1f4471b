#include <algorithm>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <ostream>
#include <tuple>

#include "app/Paths.h"
#include "app/Version.h"
#include "cli/Cli.h"
#include "cli/Terminal.h"
#include "platform/NativePlatform.h"

namespace orvanta::cli {

void InitProgramState(CliContext& ctx) {
    ctx.state.AppTitle = kAppTitle;
    const std::string folder = ctx.options.package ? *ctx.options.package : ctx.platform.env.ProgramFolder();
    ctx.state.AppFolder = AddBackslash(folder);
}

void PrintMessageLines(std::ostream& stream, const std::string& crlfText) {
    std::size_t start = 0;
    while (start < crlfText.size()) {
        std::size_t end = crlfText.find("\r\n", start);
        if (end == std::string::npos) end = crlfText.size();
        stream << crlfText.substr(start, end - start) << '\n';
        start = end + 2;
    }
}

namespace {

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               NativePlatformOptions platformOptions) {
    try {
        ParseResult parsed = ParseCommandLine(args);
        if (!parsed.error.empty()) {
            err << "orvanta: " << parsed.error << "\nTry 'orvanta --help'.\n";
            return kExitUsage;
        }
        CliOptions& options = parsed.options;
        // Logs and messages name these folders: made absolute, support can place them.
        for (std::optional<std::string>* folder : {&options.package, &options.simFolder, &options.winePrefix}) {
            if (*folder && !(*folder)->empty()) **folder = NativeAbsolutePath(**folder);
        }
        if (options.help) {
            out << UsageText();
            return kExitDone;
        }
        if (options.version) {
            out << CaptionBase() << '\n';
            return kExitDone;
        }

        platformOptions.winePrefix = options.winePrefix.value_or("");
        // The other commands change next to nothing in the simulator's folders.
        platformOptions.watchFolders = options.command == "install" || options.command == "uninstall";
        auto native = MakeNativePlatform(platformOptions);
        CliContext ctx{native->get(), options, out, err, {}, {}, {}};
        ctx.native = native.get();
        InitProgramState(ctx);
        if (&err == &std::cerr && StandardErrorIsTerminal()) {
            ctx.progressOnTerminal = true;
            if (StandardInputIsTerminal()) ctx.terminalInput = &std::cin;
        }

        static const std::map<std::string, std::function<int(CliContext&)>> kRunners = {
            {"check", RunCheck},
            {"detect", RunDetect},
            {"status", RunStatus},
            {"list", RunList},
            {"install", RunInstallCommand},
            {"uninstall", RunUninstallCommand},
            {"clean-shaders", RunCleanShaders},
        };
        auto runner = kRunners.find(options.command);
        if (runner == kRunners.end()) {
            err << "orvanta: " << options.command << " is not available in this build\n";
            return kExitUsage;
        }
        return runner->second(ctx);
    } catch (const std::exception& e) {
        err << "orvanta: unexpected failure: " << e.what() << '\n';
        return kExitErrors;
    }
}

}  // namespace

int RunOrvanta(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               NativePlatformOptions platformOptions) {
    int code = RunCommand(args, out, err, platformOptions);
    // Output that did not arrive (a full disk, a closed pipe) is a failure, said on the other
    // stream when that one still works.
    for (auto [failed, other, name] : {std::tuple{&out, &err, "output"}, std::tuple{&err, &out, "error"}}) {
        if (failed->flush()) continue;
        code = std::max(code, static_cast<int>(kExitErrors));
        *other << "orvanta: cannot write to standard " << name << '\n' << std::flush;
    }
    return code;
}

}  // namespace orvanta::cli
