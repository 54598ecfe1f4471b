#include "cli/CliOptions.h"

#include <set>

namespace orvanta::cli {

namespace {

const std::set<std::string> kCommands = {"check", "detect", "status", "list", "install", "uninstall", "clean-shaders"};

bool ParseSimIndex(const std::string& text, int& value) {
    if (text.size() != 1 || text[0] < '1' || text[0] > '6') return false;
    value = text[0] - '0';
    return true;
}

}  // namespace

std::string UsageText() {
    return "Usage: orvanta [global options] COMMAND [command options]\n"
           "\n"
           "Commands:\n"
           "  check                 check the package and print its catalogue counts\n"
           "  detect                list the simulators found on this machine\n"
           "  status                print the status of the selected regions and categories\n"
           "  list STATUS           list files: up-to-date, updatable, deinstallable or missing\n"
           "  install [--magvar] [--log]\n"
           "                        install the updatable files (and the magvar table)\n"
           "  uninstall [--restore-missing | --keep-missing] [--log]\n"
           "                        remove installed files and restore the simulator's own\n"
           "  clean-shaders         empty the selected simulator's shader cache now\n"
           "\n"
           "Global options:\n"
           "  --package DIR         the package folder (default: the program's folder)\n"
           "  --sim N               choose the detected simulator with version index N (1-6)\n"
           "  --sim-folder DIR      choose a simulator main folder\n"
           "  --nodetect            skip simulator detection\n"
           "  --wine-prefix DIR     the Wine prefix to use, and no other (POSIX); without it\n"
           "                        $WINEPREFIX alone, else ~/.wine and then the Proton prefix\n"
           "                        of FSX Steam Edition (app 314160) in every Steam library\n"
           "  --help, --version\n"
           "\n"
           "Selection options (status, list, install, uninstall):\n"
           "  --regions LIST        comma-separated regions: 0-7, names or short names, or all\n"
           "  --categories LIST     comma-separated apx, atx, nvx, or all (default all)\n"
           "  --force-full          treat every existing simulator file as updatable\n"
           "\n"
           "Exit codes: 0 done, 1 finished with errors, 2 usage error, 3 refused.\n";
}

ParseResult ParseCommandLine(const std::vector<std::string>& args) {
    ParseResult result;
    CliOptions& o = result.options;
    auto fail = [&](const std::string& message) {
        result.error = message;
        return result;
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        std::optional<std::string> inlineValue;
        if (arg.rfind("--", 0) == 0) {
            if (std::size_t eq = arg.find('='); eq != std::string::npos) {
                inlineValue = arg.substr(eq + 1);
                arg = arg.substr(0, eq);
            }
        }
        auto value = [&](std::string& out) -> bool {
            if (inlineValue) {
                out = *inlineValue;
                return true;
            }
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        auto flag = [&](bool& out) -> bool {
            if (inlineValue) return false;
            out = true;
            return true;
        };
        std::string v;
        if (arg == "--help" || arg == "-h") {
            if (!flag(o.help)) return fail("--help takes no value");
        } else if (arg == "--version") {
            if (!flag(o.version)) return fail("--version takes no value");
        } else if (arg == "--package") {
            if (!value(v)) return fail("--package needs a folder");
            o.package = v;
        } else if (arg == "--sim") {
            int n = 0;
            if (!value(v) || !ParseSimIndex(v, n)) return fail("--sim needs a version index from 1 to 6");
            o.sim = n;
        } else if (arg == "--sim-folder") {
            if (!value(v)) return fail("--sim-folder needs a folder");
            o.simFolder = v;
        } else if (arg == "--nodetect") {
            if (!flag(o.noDetect)) return fail("--nodetect takes no value");
        } else if (arg == "--wine-prefix") {
            if (!value(v)) return fail("--wine-prefix needs a folder");
            o.winePrefix = v;
        } else if (arg == "--regions") {
            if (!value(v)) return fail("--regions needs a list");
            o.regions = v;
        } else if (arg == "--categories") {
            if (!value(v)) return fail("--categories needs a list");
            o.categories = v;
        } else if (arg == "--force-full") {
            if (!flag(o.forceFull)) return fail("--force-full takes no value");
        } else if (arg == "--magvar") {
            if (!flag(o.magvar)) return fail("--magvar takes no value");
        } else if (arg == "--log") {
            if (!flag(o.log)) return fail("--log takes no value");
        } else if (arg == "--restore-missing") {
            if (!flag(o.restoreMissing)) return fail("--restore-missing takes no value");
        } else if (arg == "--keep-missing") {
            if (!flag(o.keepMissing)) return fail("--keep-missing takes no value");
        } else if (arg.size() > 1 && arg[0] == '-') {
            return fail("unknown option: " + arg);
        } else if (o.command.empty()) {
            if (kCommands.count(arg) == 0) return fail("unknown command: " + arg);
            o.command = arg;
        } else {
            o.commandArgs.push_back(arg);
        }
    }

    if (o.restoreMissing && o.keepMissing) return fail("--restore-missing and --keep-missing exclude each other");
    if (o.sim && o.simFolder) return fail("--sim and --sim-folder exclude each other");
    const bool selecting =
        o.command == "status" || o.command == "list" || o.command == "install" || o.command == "uninstall";
    if (!selecting && (o.regions || o.categories || o.forceFull)) {
        return fail("--regions, --categories and --force-full apply to status, list, install and uninstall");
    }
    if ((o.magvar) && o.command != "install") return fail("--magvar applies to install only");
    if (o.log && o.command != "install" && o.command != "uninstall") {
        return fail("--log applies to install and uninstall only");
    }
    if ((o.restoreMissing || o.keepMissing) && o.command != "uninstall") {
        return fail("--restore-missing and --keep-missing apply to uninstall only");
    }
    if (o.command == "list") {
        if (o.commandArgs.size() != 1)
            return fail("list needs one STATUS: up-to-date, updatable, deinstallable or missing");
    } else if (!o.commandArgs.empty()) {
        return fail("unexpected argument: " + o.commandArgs.front());
    }
    if (!o.help && !o.version && o.command.empty()) return fail("no command given");
    return result;
}

}  // namespace orvanta::cli
