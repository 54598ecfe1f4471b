// What a user types: the window program's command-line text, and the arguments of the
// orvanta command with the selection lists they carry.
#include <cstdlib>
#include <string>
#include <vector>

#include "app/Startup.h"
#include "cli/CliOptions.h"
#include "cli/Selection.h"

using namespace orvanta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    (void)CommandLineAsksNoDetect(text);

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
    const std::string refused = cli::ParseSelection(o.regions, o.categories, o.forceFull, selection);
    for (const std::string& word : o.commandArgs) {
        const int status = cli::ParseListStatus(word);
        if (status < 0 || status > 4) std::abort();
    }
    return 0;
}
