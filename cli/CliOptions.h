#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orvanta::cli {

// Everything the command line of `orvanta` can say. Parsing only checks the shape;
// meanings (regions, the simulator choice) are checked by the commands.
struct CliOptions {
    bool help = false;
    bool version = false;
    std::string command;                   // empty when none given
    std::vector<std::string> commandArgs;  // positional words after the command (list STATUS)

    std::optional<std::string> package;
    std::optional<int> sim;
    std::optional<std::string> simFolder;
    bool noDetect = false;
    std::optional<std::string> winePrefix;

    std::optional<std::string> regions;
    std::optional<std::string> categories;
    bool forceFull = false;

    bool magvar = false;
    bool log = false;
    bool restoreMissing = false;
    bool keepMissing = false;
};

struct ParseResult {
    CliOptions options;
    std::string error;  // empty when the command line is well formed
};

ParseResult ParseCommandLine(const std::vector<std::string>& args);

std::string UsageText();

}  // namespace orvanta::cli
