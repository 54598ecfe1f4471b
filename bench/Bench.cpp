// Each benchmark of the installer runs beside a floor: a plain loop that makes the system
// calls the same job cannot do without, over the same package and simulator folder, in the
// same run. The closing lines give the ratios of the medians.
//
//   orvanta_bench [Google Benchmark flags]
//   orvanta_bench --count-calls WHAT   (run by scripts/bench under strace: see CountCalls)
//   orvanta_bench --whole-process RUNS ORVANTA FLOOR PACKAGE_DIR/ SIM_DIR/   (see WholeProcess)
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/Startup.h"
#include "bench/BenchFixtures.h"
#include "bench/FloorReads.h"
#include "engine/BackupMigration.h"
#include "engine/Install.h"
#include "package/PackageCheck.h"
#include "package/PathScheme.h"
#include "platform/posix/PosixFileSystem.h"
#include "status/MagvarStatus.h"

using namespace orvanta;
using namespace orvanta::bench;

namespace {

bool StatOk(const std::string& path, struct stat& st) { return ::stat(path.c_str(), &st) == 0; }

bool SameLocalDay(const struct stat& a, const struct stat& b) {
    std::tm ta{}, tb{};
    ::localtime_r(&a.st_mtim.tv_sec, &ta);
    ::localtime_r(&b.st_mtim.tv_sec, &tb);
    return ta.tm_year == tb.tm_year && ta.tm_mon == tb.tm_mon && ta.tm_mday == tb.tm_mday;
}

int EntryCount(const ProgramState& state) {
    int n = 0;
    for (FileCategory category : kAllCategories) n += static_cast<int>(state.Table(category).size());
    return n;
}

// --- The measured work, shared by the timings and the call counts ----------------------

// The scan's floor: one stat each of the source, the backup and the destination, and the
// length and day compared from those.
int ScanFloor(const Fixture& f) {
    int updatable = 0;
    for (FileCategory category : kAllCategories) {
        for (const PackageEntry& entry : f.state.Table(category)) {
            const std::string source = SourcePath(f.pkg, category, entry);
            const std::string destination = DestinationPath(f.sim, entry);
            struct stat s {
            }, b{}, d{};
            if (!StatOk(source, s)) continue;
            benchmark::DoNotOptimize(StatOk(BackupPath(destination), b));
            if (!StatOk(destination, d)) continue;
            if (s.st_size != d.st_size || !SameLocalDay(s, d)) ++updatable;
        }
    }
    return updatable;
}

int Install(FileSystem& fs, ProgramState& scanned) {
    PlainRegional regional;
    std::string errorLog, actionsLog;
    InstallOptions options;
    options.selection = All();
    const InstallResult r = RunInstall({fs, regional}, scanned, options, {errorLog, actionsLog});
    return r.errors == 0 ? r.replaced : -1;
}

// The crash-safe install's floor, per file: the simulator's file renamed to its backup
// name, the package's file copied into an anonymous file in the destination's folder, its
// dates set, its data flushed, a name linked to it and that name renamed over the
// destination; then each folder flushed once. Without `flush`, no flushing at all: what
// the flushing costs.
int InstallFloor(const ProgramState& scanned, bool flush = true) {
    std::set<std::string> folders;
    int replaced = 0;
    for (std::size_t i = 0; i < scanned.UpdatableDestList.size(); ++i) {
        const std::string& source = scanned.UpdatableSourceList[i];
        const std::string& destination = scanned.UpdatableDestList[i];
        if (::rename(destination.c_str(), BackupPath(destination).c_str()) != 0) return -1;
        const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat s {};
        ::fstat(in, &s);
        const std::string folder = destination.substr(0, destination.find_last_of('/') + 1);
        const int out = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
        for (off_t left = s.st_size; left > 0;) {
            const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, static_cast<std::size_t>(left), 0);
            if (n <= 0) return -1;
            left -= n;
        }
        const struct timespec times[2] = {s.st_atim, s.st_mtim};
        ::futimens(out, times);
        if (flush && ::fdatasync(out) != 0) return -1;
        folders.insert(folder);
        char self[64];
        std::snprintf(self, sizeof self, "/proc/self/fd/%d", out);
        const std::string partial = destination + kPartialCopySuffix;
        if (::linkat(AT_FDCWD, self, AT_FDCWD, partial.c_str(), AT_SYMLINK_FOLLOW) != 0) return -1;
        if (::rename(partial.c_str(), destination.c_str()) != 0) return -1;
        ::close(out);
        ::close(in);
        ++replaced;
    }
    for (const std::string& folder : flush ? folders : std::set<std::string>{}) {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::fsync(fd);
        ::close(fd);
    }
    return replaced;
}

// Start-up to ready as far as files go: package check, cycle label, backup migration,
// magvar status.
void Startup(const Fixture& f, FileSystem& fs) {
    ProgramState state;
    state.AppFolder = f.pkg;
    std::string errorLog;
    CheckPackage(fs, state, errorLog);
    benchmark::DoNotOptimize(ReadCycleLabel(fs, f.pkg));
    state.SelectedSim = 1;
    state.SelectedSimFolder = f.sim;
    benchmark::DoNotOptimize(MigrateBackupExtensions(fs, state, errorLog));
    benchmark::DoNotOptimize(RefreshMagvarStatus(fs, state));
}

using orvanta::bench::ReadWhole;

// The same existence tests and reads: the five fixed files, the three lists and Cycle.txt
// read, every listed file tested, every old backup name and obsolete area file tested, the
// two magvar stamps read.
void StartupFloor(const Fixture& f) {
    const char* fixed[] = {"Cycle.txt", "magdec.bgl", "APXFileList.txt", "ATXFileList.txt", "NVXFileList.txt"};
    struct stat s {};
    for (const char* name : fixed) benchmark::DoNotOptimize(StatOk(f.pkg + name, s));
    std::string text;
    for (FileCategory category : kAllCategories) {
        ReadWhole(f.pkg + InfoOf(category).listFile, text);
        for (std::size_t at = 0; at < text.size();) {
            std::size_t end = text.find_first_of("\r\n", at);
            if (end == std::string::npos) end = text.size();
            const std::string line = text.substr(at, end - at);
            if (!line.empty())
                benchmark::DoNotOptimize(StatOk(f.pkg + InfoOf(category).folder + "/" + line + ".bgl", s));
            at = end + 1;
        }
    }
    ReadWhole(f.pkg + "Cycle.txt", text);
    for (FileCategory category : kAllCategories) {
        for (const PackageEntry& entry : f.state.Table(category)) {
            if (category == FileCategory::ATX && entry.Region != 4) continue;
            benchmark::DoNotOptimize(StatOk(DestinationPath(f.sim, entry) + ".raxini", s));
        }
    }
    for (const char* area : {"0501", "0502", "0600", "0601", "0602"}) {
        benchmark::DoNotOptimize(StatOk(f.sim + "Scenery/" + area + "/scenery/" + area + "INT_T.BGL", s));
    }
    char stamp[3];
    for (const std::string& table : {MagvarSourcePath(f.pkg), MagvarDestinationPath(f.sim)}) {
        const int fd = ::open(table.c_str(), O_RDONLY | O_CLOEXEC);
        benchmark::DoNotOptimize(::pread(fd, stamp, 3, 133));
        ::close(fd);
    }
}

// --- Timings -----------------------------------------------------------------------------

// The scan as each click runs it, in a program that has scanned before.
void BM_StatusScan(benchmark::State& st) {
    const Fixture& f = Demo();
    PosixFileSystem posix;
    ProgramState state = f.state;
    for (auto _ : st) benchmark::DoNotOptimize(RefreshFileStatus(posix, state, All()));
    st.counters["updatable"] = state.StatusCounts[kUpdatable];
}

void BM_StatusScanFloor(benchmark::State& st) {
    const Fixture& f = Demo();
    int updatable = 0;
    for (auto _ : st) updatable = ScanFloor(f);
    st.counters["updatable"] = updatable;
}

// The install run (the file loop and the rescan after it) as the command makes it after
// start-up and a scan; the simulator's files are put back between iterations.
void InstallBench(benchmark::State& st, const Fixture& f) {
    int replaced = 0;
    for (auto _ : st) {
        st.PauseTiming();
        PosixFileSystem posix;
        ProgramState state = f.state;
        (void)RefreshFileStatus(posix, state, All());
        const ProgramState scanned = state;
        st.ResumeTiming();
        replaced = Install(posix, state);
        st.PauseTiming();
        if (replaced < 0) st.SkipWithError("install failed");
        UndoInstall(scanned);
        st.ResumeTiming();
    }
    st.counters["files"] = replaced;
}

// With `rescan`, the floor of the scan every run ends with follows the copies: where few of
// a folder's files are replaced, that scan is most of the work.
void InstallFloorBench(benchmark::State& st, const Fixture& f, bool rescan, bool flush = true) {
    int replaced = 0;
    for (auto _ : st) {
        st.PauseTiming();
        PosixFileSystem posix;
        ProgramState state = f.state;
        (void)RefreshFileStatus(posix, state, All());
        st.ResumeTiming();
        replaced = InstallFloor(state, flush);
        if (rescan) benchmark::DoNotOptimize(ScanFloor(f));
        st.PauseTiming();
        if (replaced < 0) st.SkipWithError("floor failed");
        UndoInstall(state);
        st.ResumeTiming();
    }
    st.counters["files"] = replaced;
}

// A start-up is a new process: nothing is kept from the one before. The file system is a
// status run's, without the change watch that install and uninstall add.
void BM_Startup(benchmark::State& st) {
    const Fixture& f = Demo();
    for (auto _ : st) {
        PosixFileSystem posix(PosixFileSystem::Watching::Never);
        Startup(f, posix);
    }
}

void BM_StartupFloor(benchmark::State& st) {
    const Fixture& f = Demo();
    for (auto _ : st) StartupFloor(f);
}

struct Crowding {
    int replaced;
    int unrelated;
    std::string Name() const { return std::to_string(replaced) + "of640+" + std::to_string(unrelated) + "other"; }
};
constexpr Crowding kCrowdings[] = {{640, 2000}, {64, 2000}, {640, 0}};

// Installs flush every file and folder: the disk's flush times, which other work on the
// machine moves a lot, weigh on them and their floors. More, shorter repetitions keep the
// medians steady.
constexpr int kInstallRepetitions = 11;

void RegisterBenchmarks() {
    benchmark::RegisterBenchmark("BM_StatusScan", BM_StatusScan)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_StatusScanFloor", BM_StatusScanFloor)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_Install/demo", [](benchmark::State& st) { InstallBench(st, Demo()); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5)
        ->Repetitions(kInstallRepetitions);
    benchmark::RegisterBenchmark("BM_InstallFloor/demo",
                                 [](benchmark::State& st) { InstallFloorBench(st, Demo(), false); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5)
        ->Repetitions(kInstallRepetitions);
    benchmark::RegisterBenchmark("BM_InstallFloorUnflushed/demo",
                                 [](benchmark::State& st) { InstallFloorBench(st, Demo(), false, false); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5)
        ->Repetitions(kInstallRepetitions);
    benchmark::RegisterBenchmark("BM_Startup", BM_Startup)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_StartupFloor", BM_StartupFloor)->Unit(benchmark::kMillisecond);
    for (const Crowding& c : kCrowdings) {
        benchmark::RegisterBenchmark(("BM_Install/crowded" + c.Name()).c_str(),
                                     [c](benchmark::State& st) { InstallBench(st, Crowded(c.replaced, c.unrelated)); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(5)
            ->Repetitions(kInstallRepetitions);
        benchmark::RegisterBenchmark(
            ("BM_InstallFloor/crowded" + c.Name()).c_str(),
            [c](benchmark::State& st) { InstallFloorBench(st, Crowded(c.replaced, c.unrelated), true); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(5)
            ->Repetitions(kInstallRepetitions);
    }
}

// Keeps the median time per iteration of each benchmark (milliseconds) for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> milliseconds;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.iterations > 0 && run.aggregate_name == "median") {
                milliseconds[run.run_name.str()] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

// --- Call counts -------------------------------------------------------------------------

// Prepares WHAT in this process and runs it alone in a child, whose system calls strace
// counts (scripts/bench): "child PID FILES" on standard output, FILES being the files the
// work is about (catalogue entries, or files replaced). WHAT is scan, startup or install
// over the demo, or crowded-REPLACED-OTHERS-install, each also with "-floor" appended.
int CountCalls(std::string what) {
    int replaced = 0, unrelated = 0;
    const bool crowded = std::sscanf(what.c_str(), "crowded-%d-%d-", &replaced, &unrelated) == 2;
    if (crowded) what = what.substr(what.find("install"));
    const Fixture& f = crowded ? Crowded(replaced, unrelated) : Demo();
    PosixFileSystem posix;
    ProgramState state = f.state;
    (void)RefreshFileStatus(posix, state, All());  // as the program has, before any of these
    const ProgramState scanned = state;
    const bool install = what.find("install") != std::string::npos;
    const int files = install ? static_cast<int>(scanned.UpdatableDestList.size()) : EntryCount(f.state);
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child == 0) {
        int result = 0;
        if (what == "scan") {
            result = RefreshFileStatus(posix, state, All()).packageIntact ? 0 : 1;
        } else if (what == "scan-floor") {
            ScanFloor(f);
        } else if (what == "install") {
            result = Install(posix, state) == files ? 0 : 1;
        } else if (what == "install-floor") {
            result = InstallFloor(state) == files ? 0 : 1;
        } else if (what == "startup") {
            PosixFileSystem fresh(PosixFileSystem::Watching::Never);
            Startup(f, fresh);
        } else if (what == "startup-floor") {
            StartupFloor(f);
        } else {
            result = 2;
        }
        ::_exit(result);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (install) UndoInstall(scanned);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "orvanta_bench: %s failed\n", what.c_str());
        return 1;
    }
    std::printf("child %d %d\n", static_cast<int>(child), files);
    return 0;
}

// --- Whole processes ---------------------------------------------------------------------

// Milliseconds from the start of a process running `args` (its output thrown away) to its
// end; negative when it could not run or failed.
double ProcessMilliseconds(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    struct timespec start {
    }, end{};
    ::clock_gettime(CLOCK_MONOTONIC, &start);
    pid_t child = 0;
    int status = 0;
    const bool ran = ::posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0 &&
                     ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    ::clock_gettime(CLOCK_MONOTONIC, &end);
    ::posix_spawn_file_actions_destroy(&actions);
    return ran ? (end.tv_sec - start.tv_sec) * 1e3 + (end.tv_nsec - start.tv_nsec) / 1e6 : -1;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// `orvanta status --regions all` over the demo package, from its start to its end, against
// its floor (orvanta-status-floor): RUNS of each, taken in turn; the ratio of the medians.
int WholeProcess(char** argv) {
    const int runs = std::atoi(argv[0]);
    const std::string orvanta = argv[1], floor = argv[2], pkg = argv[3], sim = argv[4];
    std::vector<double> measured, bare;
    for (int i = 0; i < runs; ++i) {
        measured.push_back(ProcessMilliseconds(
            {orvanta, "--package", pkg, "--nodetect", "--sim-folder", sim, "status", "--regions", "all"}));
        bare.push_back(ProcessMilliseconds({floor, pkg, sim}));
        if (measured.back() < 0 || bare.back() < 0) {
            std::fprintf(stderr, "orvanta_bench: %s failed\n", measured.back() < 0 ? "orvanta status" : "the floor");
            return 2;
        }
    }
    const double m = Median(measured), f = Median(bare), ratio = m / f;
    std::printf("%-34s %9.3f ms vs %9.3f ms: %.2f times (target 1.3) %s\n", "status --regions all, whole process", m, f,
                ratio, ratio <= 1.3 ? "met" : "MISSED");
    return ratio <= 1.3 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--count-calls") == 0) return CountCalls(argv[2]);
    if (argc == 7 && std::strcmp(argv[1], "--whole-process") == 0) return WholeProcess(argv + 2);

    // Medians of interleaved repetitions: the machine is shared, and a burst of other work
    // then weighs on a benchmark and its floor alike.
    std::vector<char*> args(argv, argv + argc);
    char repetitions[] = "--benchmark_repetitions=5";
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    char aggregates[] = "--benchmark_report_aggregates_only=true";
    args.insert(args.begin() + 1, {repetitions, interleave, aggregates});
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    RegisterBenchmarks();
    Demo();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    struct Pair {
        std::string what, measured, floor;
        double target;
    };
    std::vector<Pair> pairs = {
        {"status scan, 1,200 files", "BM_StatusScan", "BM_StatusScanFloor", 1.3},
        {"install, 594 files", "BM_Install/demo", "BM_InstallFloor/demo", 1.5},
        {"start-up to ready", "BM_Startup", "BM_StartupFloor", 1.5},
    };
    for (const Crowding& c : kCrowdings) {
        pairs.push_back({"install, " + std::to_string(c.replaced) + " of 640 beside " + std::to_string(c.unrelated),
                         "BM_Install/crowded" + c.Name(), "BM_InstallFloor/crowded" + c.Name(), 1.5});
    }

    const auto find = [&](const std::string& name) {
        for (const auto& [key, value] : reporter.milliseconds) {
            if (key.rfind(name, 0) == 0 && (key.size() == name.size() || key[name.size()] == '/')) return value;
        }
        return 0.0;
    };
    int missed = 0;
    const auto report = [&](const std::string& what, double ratio, double target, const char* detail) {
        const bool met = ratio <= target;
        missed += met ? 0 : 1;
        std::printf("%-34s %s: %.2f times (target %.1f) %s\n", what.c_str(), detail, ratio, target,
                    met ? "met" : "MISSED");
    };
    std::printf("\nmedians of one run (interleaved repetitions):\n");
    char detail[96];
    for (const Pair& p : pairs) {
        const double m = find(p.measured);
        const double f = find(p.floor);
        if (m <= 0 || f <= 0) continue;
        std::snprintf(detail, sizeof detail, "%9.3f ms vs %9.3f ms", m, f);
        report(p.what, m / f, p.target, detail);
    }
    // No target: what putting the data and the folders on disk costs the floor.
    if (const double unflushed = find("BM_InstallFloorUnflushed/demo"); unflushed > 0) {
        std::printf("%-34s %9.3f ms vs %9.3f ms without flushing: %.2f times\n", "install floor, 594 files",
                    find("BM_InstallFloor/demo"), unflushed, find("BM_InstallFloor/demo") / unflushed);
    }
    // The folder's size must not count: 640 files replaced beside 2,000 others against alone,
    // each against its floor (the file system itself is slower in a larger folder).
    const auto ofFloor = [&](const Crowding& c) {
        const double f = find("BM_InstallFloor/crowded" + c.Name());
        return f > 0 ? find("BM_Install/crowded" + c.Name()) / f : 0.0;
    };
    const double withOthers = ofFloor(kCrowdings[0]);
    const double alone = ofFloor(kCrowdings[2]);
    if (withOthers > 0 && alone > 0) {
        std::snprintf(detail, sizeof detail, "%.2f vs %.2f of the floor", withOthers, alone);
        report("2,000 other files in the folder", withOthers / alone, 1.3, detail);
    }
    benchmark::Shutdown();
    return missed == 0 ? 0 : 1;
}
