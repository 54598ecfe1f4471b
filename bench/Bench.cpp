// Each benchmark of the installer runs beside a floor: a plain loop that makes the system
// calls the same job cannot do without, over the same demo package (1,000 APX + 100 ATX +
// 100 NVX files, all regions) and simulator folder. The closing lines give the ratios.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/Startup.h"
#include "engine/BackupMigration.h"
#include "engine/Install.h"
#include "package/PackageCheck.h"
#include "package/PathScheme.h"
#include "platform/posix/PosixFileSystem.h"
#include "status/FileStatus.h"
#include "status/MagvarStatus.h"
#include "tools/DemoFixture.h"

namespace fs = std::filesystem;
using namespace orvanta;

namespace {

class Regional : public RegionalFormat {
public:
    std::string ShortDate(int y, int m, int d) override {
        return std::to_string(d) + "/" + std::to_string(m) + "/" + std::to_string(y);
    }
    std::string Time(int h, int mi, int s) override {
        return std::to_string(h) + ":" + std::to_string(mi) + ":" + std::to_string(s);
    }
};

StatusSelection All() {
    StatusSelection s;
    s.regions.fill(true);
    s.categories.fill(true);
    return s;
}

// The demo package and simulator, written once for the whole run.
struct Demo {
    std::string root, pkg, pristine, sim;  // folders end with '/'
    ProgramState state;

    Demo() {
        char pattern[] = "/tmp/orvanta-bench.XXXXXX";
        root = std::string(::mkdtemp(pattern)) + "/";
        pkg = root + "package/";
        pristine = root + "FSX.pristine/";
        sim = root + "FSX/";
        tools::DemoSpec spec;
        tools::WriteDemoPackage(pkg, spec);
        tools::WriteDemoSimulator(pkg, pristine, spec);
        fs::copy(pristine, sim, fs::copy_options::recursive);
        PosixFileSystem posix;
        std::string log;
        state.AppFolder = pkg;
        CheckPackage(posix, state, log);
        state.SelectedSim = 1;
        state.SelectedSimFolder = sim;
        // A simulator folder as users have it: not written in the last seconds.
        std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    }
    ~Demo() { fs::remove_all(root); }

    void ResetSimulator() {
        fs::remove_all(sim);
        fs::copy(pristine, sim, fs::copy_options::recursive);
    }
};

Demo& TheDemo() {
    static Demo demo;
    return demo;
}

bool StatOk(const std::string& path, struct stat& st) { return ::stat(path.c_str(), &st) == 0; }

bool SameLocalDay(const struct stat& a, const struct stat& b) {
    std::tm ta{}, tb{};
    ::localtime_r(&a.st_mtim.tv_sec, &ta);
    ::localtime_r(&b.st_mtim.tv_sec, &tb);
    return ta.tm_year == tb.tm_year && ta.tm_mon == tb.tm_mon && ta.tm_mday == tb.tm_mday;
}

// --- Status scan ---------------------------------------------------------------------

void BM_StatusScan(benchmark::State& st) {
    Demo& demo = TheDemo();
    PosixFileSystem posix;
    ProgramState state = demo.state;
    for (auto _ : st) {
        benchmark::DoNotOptimize(RefreshFileStatus(posix, state, All()));
    }
    st.counters["updatable"] = state.StatusCounts[kUpdatable];
}

// The same system calls in a plain loop: per file one stat for each existence test
// (source, backup, destination) and, for an existing destination, one for each length
// and, when the lengths agree, one for each date, as the scan asks for them.
void BM_StatusScanFloor(benchmark::State& st) {
    Demo& demo = TheDemo();
    int updatable = 0;
    for (auto _ : st) {
        updatable = 0;
        for (FileCategory category : kAllCategories) {
            for (const PackageEntry& entry : demo.state.Table(category)) {
                const std::string source = SourcePath(demo.pkg, category, entry);
                const std::string destination = DestinationPath(demo.sim, entry);
                struct stat s {
                }, d{}, b{};
                if (!StatOk(source, s)) continue;
                benchmark::DoNotOptimize(StatOk(BackupPath(destination), b));
                if (!StatOk(destination, d)) continue;
                if (!StatOk(source, s) || !StatOk(destination, d) || s.st_size != d.st_size) {
                    ++updatable;
                    continue;
                }
                if (!StatOk(source, s) || !StatOk(destination, d) || !SameLocalDay(s, d)) ++updatable;
            }
        }
    }
    st.counters["updatable"] = updatable;
}

// --- Install -------------------------------------------------------------------------

void BM_Install(benchmark::State& st) {
    Demo& demo = TheDemo();
    PosixFileSystem posix;
    Regional regional;
    int replaced = 0;
    for (auto _ : st) {
        demo.ResetSimulator();
        ProgramState state = demo.state;
        (void)RefreshFileStatus(posix, state, All());
        std::string errorLog, actionsLog;
        InstallOptions options;
        options.selection = All();
        const auto start = std::chrono::steady_clock::now();
        const InstallResult r = RunInstall({posix, regional}, state, options, {errorLog, actionsLog});
        st.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        replaced = r.replaced;
        if (r.errors != 0) st.SkipWithError("install failed");
    }
    st.counters["files"] = replaced;
}

// What `cp --preserve=timestamps SOURCE DEST` does for each file the install replaces:
// open both, copy the bytes in the kernel, set the dates, close.
void BM_InstallFloor(benchmark::State& st) {
    Demo& demo = TheDemo();
    PosixFileSystem posix;
    int copied = 0;
    for (auto _ : st) {
        demo.ResetSimulator();
        ProgramState state = demo.state;
        (void)RefreshFileStatus(posix, state, All());
        const auto start = std::chrono::steady_clock::now();
        copied = 0;
        for (std::size_t i = 0; i < state.UpdatableSourceList.size(); ++i) {
            const int in = ::open(state.UpdatableSourceList[i].c_str(), O_RDONLY | O_CLOEXEC);
            struct stat s {};
            ::fstat(in, &s);
            const int out = ::open(state.UpdatableDestList[i].c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            off_t left = s.st_size;
            while (left > 0) {
                const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, static_cast<std::size_t>(left), 0);
                if (n <= 0) break;
                left -= n;
            }
            const struct timespec times[2] = {s.st_atim, s.st_mtim};
            ::futimens(out, times);
            ::close(out);
            ::close(in);
            ++copied;
        }
        st.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    st.counters["files"] = copied;
}

// --- Start-up to ready ---------------------------------------------------------------

void BM_Startup(benchmark::State& st) {
    Demo& demo = TheDemo();
    PosixFileSystem posix;
    for (auto _ : st) {
        ProgramState state;
        state.AppFolder = demo.pkg;
        std::string errorLog;
        CheckPackage(posix, state, errorLog);
        benchmark::DoNotOptimize(ReadCycleLabel(posix, demo.pkg));
        state.SelectedSim = 1;
        state.SelectedSimFolder = demo.sim;
        if (MigrateBackupExtensions(posix, state, errorLog) != 0) st.SkipWithError("migration failed");
        benchmark::DoNotOptimize(RefreshMagvarStatus(posix, state));
    }
}

bool ReadWhole(const std::string& path, std::string& text) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char buffer[65536];
    text.clear();
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    return true;
}

// The same existence tests and reads: the five fixed files, the three lists and Cycle.txt
// read, every listed file tested, every old backup name and obsolete area file tested, the
// two magvar stamps read.
void BM_StartupFloor(benchmark::State& st) {
    Demo& demo = TheDemo();
    const char* fixed[] = {"Cycle.txt", "magdec.bgl", "APXFileList.txt", "ATXFileList.txt", "NVXFileList.txt"};
    for (auto _ : st) {
        struct stat s {};
        for (const char* name : fixed) benchmark::DoNotOptimize(StatOk(demo.pkg + name, s));
        std::string text;
        for (FileCategory category : kAllCategories) {
            ReadWhole(demo.pkg + InfoOf(category).listFile, text);
            for (std::size_t at = 0; at < text.size();) {
                std::size_t end = text.find_first_of("\r\n", at);
                if (end == std::string::npos) end = text.size();
                const std::string line = text.substr(at, end - at);
                if (!line.empty()) {
                    benchmark::DoNotOptimize(StatOk(demo.pkg + InfoOf(category).folder + "/" + line + ".bgl", s));
                }
                at = end + 1;
            }
        }
        ReadWhole(demo.pkg + "Cycle.txt", text);
        for (FileCategory category : kAllCategories) {
            for (const PackageEntry& entry : demo.state.Table(category)) {
                if (category == FileCategory::ATX && entry.Region != 4) continue;
                benchmark::DoNotOptimize(StatOk(DestinationPath(demo.sim, entry) + ".raxini", s));
            }
        }
        for (const char* area : {"0501", "0502", "0600", "0601", "0602"}) {
            benchmark::DoNotOptimize(StatOk(demo.sim + "Scenery/" + area + "/scenery/" + area + "INT_T.BGL", s));
        }
        char stamp[3];
        for (const std::string& table : {MagvarSourcePath(demo.pkg), MagvarDestinationPath(demo.sim)}) {
            const int fd = ::open(table.c_str(), O_RDONLY | O_CLOEXEC);
            benchmark::DoNotOptimize(::pread(fd, stamp, 3, 133));
            ::close(fd);
        }
    }
}

BENCHMARK(BM_StatusScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StatusScanFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Install)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);
BENCHMARK(BM_InstallFloor)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);
BENCHMARK(BM_Startup)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupFloor)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> seconds;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.iterations > 0) seconds[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    TheDemo();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    struct Pair {
        const char* what;
        const char* measured;
        const char* floor;
        double target;
    };
    const Pair pairs[] = {
        {"status scan", "BM_StatusScan", "BM_StatusScanFloor", 1.5},
        {"full install", "BM_Install/iterations:20/manual_time", "BM_InstallFloor/iterations:20/manual_time", 1.3},
        {"start-up to ready", "BM_Startup", "BM_StartupFloor", 1.5},
    };
    int missed = 0;
    std::printf("\n");
    for (const Pair& p : pairs) {
        auto m = reporter.seconds.find(p.measured);
        auto f = reporter.seconds.find(p.floor);
        if (m == reporter.seconds.end() || f == reporter.seconds.end() || f->second <= 0) continue;
        const double ratio = m->second / f->second;
        const bool met = ratio <= p.target;
        missed += met ? 0 : 1;
        std::printf("%-18s %8.3f ms vs floor %8.3f ms: %.2f times (target %.1f) %s\n", p.what, m->second, f->second,
                    ratio, p.target, met ? "met" : "MISSED");
    }
    benchmark::Shutdown();
    return missed == 0 ? 0 : 1;
}
