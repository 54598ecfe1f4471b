// What a user types: the window program's command-line text, and the arguments of the
// orvanta command with the selection lists they carry.
#include <strings.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "app/Startup.h"
#include "cli/CliOptions.h"
#include "cli/Selection.h"

using namespace orvanta;

namespace {

// The window program's switch: one of the slash-separated tokens is "nodetect", spaces
// around it and letter case aside.
bool NoDetectToken(const std::string& text) {
    std::stringstream tokens(text);
    for (std::string token; std::getline(tokens, token, '/');) {
        const std::size_t b = token.find_first_not_of(' '), e = token.find_last_not_of(' ');
        if (b == std::string::npos || e - b != 7) continue;
        if (strncasecmp(token.c_str() + b, "nodetect", 8) == 0) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (CommandLineAsksNoDetect(text) != NoDetectToken(text)) std::abort();

    // Arguments separated by NUL, as the system hands them over.
    std::vector<std::string> args;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find('\0', start);
        if (end == std::string::npos) end = text.size();
        args.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    const cli::ParseResult parsed = cli::ParseCommandLine(args);
    if (!parsed.error.empty()) return 0;
    const cli::CliOptions& o = parsed.options;
    if (o.sim && (*o.sim < 1 || *o.sim > 6)) std::abort();  // a simulator the commands cannot choose
    StatusSelection selection;
    // An accepted region list selects something.
    if (cli::ParseSelection(o.regions, o.categories, o.forceFull, selection).empty() && o.regions &&
        selection.SelectedRegionCount() == 0) {
        std::abort();
    }
    for (const std::string& word : o.commandArgs) {
        const int status = cli::ParseListStatus(word);
        if (status < 0 || status > 4) std::abort();
    }
    return 0;
}
