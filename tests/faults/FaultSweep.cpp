// Fault sweep: every file operation of install, uninstall, backup migration and shader
// cleaning is failed in turn, alone and together with the next one, over a package of the
// demo's size held in memory. After each faulty run nothing of the simulator's own may be
// lost, and a clean install followed by an uninstall with the restore answer must bring
// the simulator's folder back byte for byte; and a run with one failed operation counts
// and records that failure once.
//
//   orvanta_fault_sweep [--apx N --atx N --nvx N] [--only NAME]
//
// Prints one line per scenario and a closing line "N runs, N faults, N failures"; exits 1
// when any run broke an invariant.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "engine/BackupMigration.h"
#include "engine/Install.h"
#include "engine/Uninstall.h"
#include "housekeeping/ShaderCache.h"
#include "package/PackageCheck.h"
#include "package/PathScheme.h"
#include "platform/FaultInjectingFileSystem.h"
#include "support/Fakes.h"
#include "support/MemoryFileSystem.h"
#include "support/TempDir.h"
#include "tools/DemoFixture.h"
#include "tools/TreeCheck.h"

namespace orvanta {
namespace {

using test::MemoryFileSystem;
using Tree = std::map<std::string, std::string>;  // relative path ('/') -> bytes

const std::string kRoot = std::string(1, kSep) + "demo";
const std::string kPkg = kRoot + kSep + "package" + kSep;
const std::string kSim = kRoot + kSep + "FSX" + kSep;
const std::string kCache = kRoot + kSep + "appdata" + kSep + "Microsoft" + kSep + "FSX" + kSep + "Shaders";
const std::string kOutside = kRoot + kSep + "elsewhere";

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

StatusSelection All() {
    StatusSelection s;
    s.regions.fill(true);
    s.categories.fill(true);
    return s;
}

// A file system and the program's state over it, as start-up leaves them.
struct World {
    MemoryFileSystem fs;
    ProgramState state;
    test::FixedRegional regional;
    std::string errorLog, actionsLog;
    std::vector<std::string> stayed;  // what the shader cleaning reported as left

    bool Scan() { return RefreshFileStatus(fs, state, All()).packageIntact; }

    InstallResult Install(FileSystem& through) {
        InstallOptions options;
        options.selection = All();
        options.magvar = true;
        options.log = true;
        return RunInstall({through, regional}, state, options, {errorLog, actionsLog});
    }
    UninstallResult Uninstall(FileSystem& through) {
        UninstallOptions options;
        options.selection = All();
        options.log = true;
        options.restoreMissing = true;
        return RunUninstall({through, regional}, state, options, {errorLog, actionsLog});
    }
};

// Collects what broke the invariants, as text.
struct Checker {
    const Tree& originals;
    const Tree& package;  // lower-case file name -> bytes
    std::string only;     // the one sweep to run, or every one
    std::vector<std::string> failures;
    int count = 0;
    long runs = 0, faults = 0;

    void Fail(const std::string& context, const std::string& what) {
        if (failures.size() < 50) failures.push_back(context + ": " + what);
        ++count;
    }
    void NothingLost(const std::string& context, const MemoryFileSystem& fs) {
        for (const std::string& p : tools::CheckNothingLost(originals, package, fs.Files(kSim)).problems) {
            Fail(context, p);
        }
    }
};

// Runs `faulty` once without faults to count its operations, then once per operation
// failed alone, once per pair of consecutive operations, and once dying before each
// operation, calling `check` after each.
// `faulty` answers the run's error count, or -1 when it is no install or uninstall.
void Sweep(const std::string& name, const std::function<World()>& prepare,
           const std::function<int(World&, FileSystem&)>& faulty,
           const std::function<void(World&, const std::string&)>& check, Checker& checker) {
    if (!checker.only.empty() && checker.only != name) return;
    int operations = 0;
    {
        World w = prepare();
        FaultInjectingFileSystem counter(w.fs);
        faulty(w, counter);
        operations = counter.OperationCount();
        check(w, name + ", no fault");
    }
    const int failuresBefore = checker.count;
    long runs = 0, faults = 0, crashes = 0;
    // count 1 or 2: that many operations fail and the run goes on; count 0: the process
    // dies before operation `first` (it and every later one fail).
    auto run = [&](int first, int count) {
        World w = prepare();
        FaultInjectingFileSystem through(w.fs);
        if (count == 0) {
            through.FailFrom(first, kDeviceIoError);
        } else {
            for (int k = 0; k < count; ++k) {
                through.FailOperation(first + k, (first + k) % 2 ? kDeviceIoError : kPermissionDenied);
            }
        }
        const int errors = faulty(w, through);
        std::string context =
            name + (count == 0 ? ", dying before operation " : ", failing operation ") + std::to_string(first);
        if (count == 2) context += " and " + std::to_string(first + 1);
        if (first <= static_cast<int>(through.Journal().size())) context += " (" + through.Journal()[first - 1] + ")";
        // The first fault must hit; the second may find its operation gone, since the first
        // changes what the run does next.
        if (count > 0 && through.FaultsInjected() < 1) checker.Fail(context, "the fault was not reached");
        // Every failure is counted once and recorded once in the error log; a single failed
        // operation that changes the simulator's folder is one failure.
        int records = 0;
        for (std::size_t at = 0; (at = w.errorLog.find("Error Id: ", at)) != std::string::npos; ++at) ++records;
        if (errors >= 0 && records != errors)
            checker.Fail(context, std::to_string(errors) + " errors, " + std::to_string(records) + " records");
        if (count > 0 && errors > count)
            checker.Fail(context, "one failure counted " + std::to_string(errors) + " times");
        if (count == 1 && errors >= 0) {
            const std::string& op = through.Journal()[first - 1];
            const bool changesSimulator = op.find(kSim) != std::string::npos && op.rfind("Read", 0) != 0 &&
                                          op.rfind("FileLength", 0) != 0 && op.rfind("ModifiedTime", 0) != 0 &&
                                          op.rfind("QueryFile", 0) != 0;
            if (changesSimulator && errors != 1) checker.Fail(context, "the failure was not counted");
        }
        check(w, context);
        ++runs;
        if (count == 0) ++crashes;
        faults += count == 0 ? 1 : through.FaultsInjected();
    };
    for (int n = 1; n <= operations; ++n) run(n, 1);
    for (int n = 1; n < operations; ++n) run(n, 2);
    for (int n = 1; n <= operations; ++n) run(n, 0);
    std::printf("%-16s %6d operations, %7ld runs (%ld of them dying), %7ld faults, %d failures\n", name.c_str(),
                operations, runs, crashes, faults, checker.count - failuresBefore);
    std::fflush(stdout);
    checker.runs += runs;
    checker.faults += faults;
}

int Main(int argc, char** argv) {
    tools::DemoSpec spec;
    std::string only;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        int* count = arg == "--apx" ? &spec.apx : arg == "--atx" ? &spec.atx : arg == "--nvx" ? &spec.nvx : nullptr;
        if (count != nullptr && i + 1 < argc) {
            *count = std::atoi(argv[++i]);
        } else if (arg == "--only" && i + 1 < argc) {
            only = argv[++i];
        } else {
            std::cerr << "usage: orvanta_fault_sweep [--apx N --atx N --nvx N] [--only NAME]\n";
            return 2;
        }
    }

    // The demo package and simulator, written once to disk by the demo's own writer and
    // read into memory.
    World pristine;
    {
        test::TempDir disk;
        tools::WriteDemoPackage(disk / "package", spec);
        tools::WriteDemoSimulator(disk / "package", disk / "FSX", spec);
        pristine.fs.LoadFromDisk(disk / "package", kRoot + kSep + "package");
        pristine.fs.LoadFromDisk(disk / "FSX", kRoot + kSep + "FSX");
    }
    pristine.state.AppTitle = kAppTitle;
    pristine.state.AppFolder = kPkg;
    CheckPackage(pristine.fs, pristine.state, pristine.errorLog);
    if (!pristine.errorLog.empty()) {
        std::cerr << "the demo package is damaged:\n" << pristine.errorLog;
        return 1;
    }
    pristine.state.SelectedSim = 1;
    pristine.state.SelectedSimFolder = kSim;
    // Some of the simulator's files are read-only, as simulators ship them.
    int k = 0;
    for (const auto& file : pristine.fs.Files(kSim)) {
        if (EndsWith(file.first, ".bgl") && ++k % 17 == 0) {
            const std::string path = kSim + test::NativeRelative(file.first);
            const MemoryFileSystem::Node* node = pristine.fs.Find(path);
            pristine.fs.AddFile(path, *node->content, node->modified, kAttrReadOnly);
        }
    }
    if (!pristine.Scan()) return 1;

    const Tree originals = pristine.fs.Files(kSim);
    Tree package;
    for (const auto& [relative, bytes] : pristine.fs.Files(kPkg)) {
        std::string name = relative.substr(relative.find_last_of('/') + 1);
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        package[name] = bytes;
    }
    Checker checker{originals, package, only, {}};

    // After any faulty run: a clean install completes, and a clean uninstall with the
    // restore answer gives the simulator's folder back.
    auto recoverAndCompare = [&](World& w, const std::string& context, const std::vector<std::string>& ignored) {
        if (!w.Scan()) return checker.Fail(context, "the package looks damaged");
        const InstallResult install = w.Install(w.fs);
        if (install.errors != 0) checker.Fail(context, "the next install failed:\n" + w.errorLog);
        if (!w.Scan()) return checker.Fail(context, "the package looks damaged");
        const UninstallResult uninstall = w.Uninstall(w.fs);
        if (uninstall.errors != 0) checker.Fail(context, "the uninstall failed:\n" + w.errorLog);
        for (const std::string& d : tools::CompareWithOriginals(originals, w.fs.Files(kSim), ignored)) {
            checker.Fail(context, "after uninstall, " + d);
        }
    };
    const auto nothingLostAndRecovers = [&](World& w, const std::string& context) {
        checker.NothingLost(context, w.fs);
        recoverAndCompare(w, context, {});
    };

    World installed = pristine;
    if (installed.Install(installed.fs).errors != 0 || !installed.Scan()) {
        std::cerr << "the clean install failed:\n" << installed.errorLog;
        return 1;
    }

    Sweep(
        "install", [&] { return pristine; }, [](World& w, FileSystem& through) { return w.Install(through).errors; },
        nothingLostAndRecovers, checker);

    // Installed, then some installed files gone (restored from backup by the answer)
    // and some made read-only.
    World uninstallFrom = installed;
    int listed = 0;
    for (const std::string& destination : uninstallFrom.state.DeinstallableList) {
        ++listed;
        if (listed % 13 == 0) (void)uninstallFrom.fs.DeleteFile(destination);
        if (listed % 11 == 0) {
            const MemoryFileSystem::Node* node = uninstallFrom.fs.Find(destination);
            if (node != nullptr) uninstallFrom.fs.AddFile(destination, *node->content, node->modified, kAttrReadOnly);
        }
    }
    if (!uninstallFrom.Scan()) return 1;
    Sweep(
        "uninstall", [&] { return uninstallFrom; },
        [](World& w, FileSystem& through) { return w.Uninstall(through).errors; }, nothingLostAndRecovers, checker);

    // Installed by an older installer: backups under the old extensions, some with a
    // stale copy beside a current backup, and the obsolete area files.
    World migrateFrom = installed;
    int backedUp = 0;
    for (FileCategory category : kAllCategories) {
        for (const PackageEntry& entry : migrateFrom.state.Table(category)) {
            const std::string destination = DestinationPath(kSim, entry);
            const std::string backup = BackupPath(destination);
            if (!migrateFrom.fs.Exists(backup)) continue;
            const bool europe = entry.Region == 4;
            if (category == FileCategory::ATX && !europe) continue;  // never migrated
            const std::string old = destination + (category == FileCategory::APX && !europe ? ".ilsbckup" : ".raxini");
            if (++backedUp % 9 == 0) {
                migrateFrom.fs.AddFile(old, "stale backup of an older installer");
            } else {
                (void)migrateFrom.fs.RenameFile(backup, old);
            }
        }
    }
    for (const char* area : {"0501", "0502", "0600", "0601", "0602"}) {
        migrateFrom.fs.AddFile(kSim + "Scenery" + kSep + area + kSep + "scenery" + kSep + area + "INT_T.BGL",
                               "obsolete area file");
    }
    const std::vector<std::string> ignored = {"INT_T.BGL"};
    Sweep(
        "migration", [&] { return migrateFrom; },
        [](World& w, FileSystem& through) {
            std::string log;
            (void)MigrateBackupExtensions(through, w.state, log);
            return -1;
        },
        [&](World& w, const std::string& context) {
            std::string log;
            if (MigrateBackupExtensions(w.fs, w.state, log) != 0) {
                checker.Fail(context, "the next migration failed:\n" + log);
            }
            for (const auto& file : w.fs.Files(kSim)) {
                const std::string& relative = file.first;
                if (EndsWith(relative, ".raxini") || EndsWith(relative, ".ilsbckup")) {
                    checker.Fail(context, relative + " was not migrated");
                }
                if (EndsWith(relative, "INT_T.BGL")) checker.Fail(context, relative + " was not deleted");
            }
            checker.NothingLost(context, w.fs);
            recoverAndCompare(w, context, ignored);
        },
        checker);

    // A cache as large as the package (thirty files a folder): files, read-only ones, and
    // links to a folder and a file outside that must survive.
    World cleanFrom = pristine;
    const int folders = std::max(4, (spec.apx + spec.atx + spec.nvx) / 30);
    for (int folder = 0; folder < folders; ++folder) {
        const std::string f = kCache + kSep + "f" + std::to_string(folder);
        for (int file = 0; file < 30; ++file) {
            const std::string sub = file % 10 == 9 ? std::string(1, kSep) + "deep" : "";
            cleanFrom.fs.AddFile(f + sub + kSep + "s" + std::to_string(file) + ".cache", "shader bytes",
                                 {2024, 1, 1, 0, 0, 0}, file % 7 == 0 ? std::uint32_t{kAttrReadOnly} : 0u);
        }
    }
    cleanFrom.fs.AddFile(kOutside + kSep + "keep" + kSep + "precious.txt", "not a cache file");
    cleanFrom.fs.AddFile(kOutside + kSep + "single.txt", "not a cache file either");
    cleanFrom.fs.AddLink(kCache + kSep + "f3" + kSep + "to-folder", kOutside + kSep + "keep", true);
    cleanFrom.fs.AddLink(kCache + kSep + "to-file", kOutside + kSep + "single.txt", false);
    const Tree outside = cleanFrom.fs.Files(kOutside);
    const Tree packageTree = cleanFrom.fs.Files(kPkg);
    Sweep(
        "shaders", [&] { return cleanFrom; },
        [](World& w, FileSystem& through) {
            w.stayed = CleanShaderCache(through, kCache);
            return -1;
        },
        [&](World& w, const std::string& context) {
            if (w.fs.Files(kSim) != originals || w.fs.Files(kPkg) != packageTree) {
                checker.Fail(context, "the simulator or the package changed");
            }
            if (!w.fs.IsFolder(kCache)) checker.Fail(context, "the cache folder itself is gone");
            std::vector<FolderEntry> entries;
            (void)w.fs.ListFolder(kCache, entries);
            // Never a cache reported empty that is not (one that cannot be checked is reported).
            if (w.stayed.empty() && !entries.empty()) checker.Fail(context, "the cleaning claimed an empty cache");
            (void)CleanShaderCache(w.fs, kCache);
            if (!w.fs.ListFolder(kCache, entries) || !entries.empty()) {
                checker.Fail(context, "a clean run after it left the cache not empty");
            }
            if (w.fs.Files(kOutside) != outside) checker.Fail(context, "a file outside the cache changed");
        },
        checker);

    for (const std::string& f : checker.failures) std::cout << "FAILED: " << f << "\n";
    std::cout << "fault sweep: " << checker.runs << " runs, " << checker.faults << " faults, " << checker.count
              << " failures\n";
    return checker.count == 0 ? 0 : 1;
}

}  // namespace
}  // namespace orvanta

int main(int argc, char** argv) { return orvanta::Main(argc, argv); }
