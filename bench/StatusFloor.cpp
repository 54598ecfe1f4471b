// The floor of `orvanta status --regions all` as a whole process: a plain loop of the work
// such a run cannot do without, in a program of its own, started and ended as the command
// is (by orvanta_bench --whole-process). It is the start-up's floor and the scan's floor of
// the in-process benchmarks, one after the other, with the write probe and the process
// list between them:
//   the package's fixed files tested, the three lists read, every listed file tested; every
//   old backup name and obsolete area file the start-up looks for tested; the two magvar
//   stamps read; a probe file written into the Scenery folder and removed; per listed file
//   one stat each of the package's file, the backup and the simulator's file (existence,
//   length and local day); each process's command line read once.
//
//   orvanta-status-floor PACKAGE_DIR/ SIM_DIR/
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "bench/FloorReads.h"
#include "package/AreaGrid.h"
#include "package/PathScheme.h"

using namespace orvanta;

namespace {

using orvanta::bench::ReadWhole;

// The name in `folder` (ending with '/') that equals `name` ignoring case, else `name`.
std::string MatchIgnoringCase(const std::string& folder, const std::string& name) {
    std::string found = name;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(dir)) {
            if (::strcasecmp(e->d_name, name.c_str()) == 0) found = e->d_name;
        }
        ::closedir(dir);
    }
    return found;
}

bool SameLocalDay(const struct stat& a, const struct stat& b) {
    std::tm ta{}, tb{};
    ::localtime_r(&a.st_mtim.tv_sec, &ta);
    ::localtime_r(&b.st_mtim.tv_sec, &tb);
    return ta.tm_year == tb.tm_year && ta.tm_mon == tb.tm_mon && ta.tm_mday == tb.tm_mday;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: orvanta-status-floor PACKAGE_DIR/ SIM_DIR/\n");
        return 2;
    }
    const std::string pkg = argv[1], sim = argv[2];
    struct stat s {
    }, b{}, d{};

    // Start-up.
    for (const char* name : {"Cycle.txt", "magdec.bgl", "APXFileList.txt", "ATXFileList.txt", "NVXFileList.txt"}) {
        if (::stat((pkg + name).c_str(), &s) != 0) return 1;
    }
    std::vector<std::pair<FileCategory, PackageEntry>> catalogue;
    std::string text;
    for (FileCategory category : kAllCategories) {
        if (!ReadWhole(pkg + InfoOf(category).listFile, text)) return 1;
        for (std::size_t at = 0; at < text.size();) {
            std::size_t end = text.find_first_of("\r\n", at);
            if (end == std::string::npos) end = text.size();
            PackageEntry entry;
            const std::string line = text.substr(at, end - at);
            at = end + 1;
            if (line.empty() || !AreaOfLine(category, line, entry.Area)) continue;
            entry.FileName = line + ".bgl";
            entry.Region = RegionOfArea(static_cast<std::int16_t>(std::stoi(entry.Area)));
            if (::stat(SourcePath(pkg, category, entry).c_str(), &s) != 0) return 1;
            catalogue.emplace_back(category, std::move(entry));
        }
    }
    if (!ReadWhole(pkg + "Cycle.txt", text)) return 1;
    for (const auto& [category, entry] : catalogue) {
        if (category == FileCategory::ATX && entry.Region != 4) continue;
        if (::stat((DestinationPath(sim, entry) + ".raxini").c_str(), &b) == 0) return 1;
    }
    for (const char* area : {"0501", "0502", "0600", "0601", "0602"}) {
        if (::stat((sim + "Scenery/" + area + "/scenery/" + area + "INT_T.BGL").c_str(), &b) == 0) return 1;
    }
    // The simulator's table as written, else its folders looked up in any letter case (the
    // demo's are "BASE/scenery").
    std::string simTable = MagvarDestinationPath(sim);
    if (::access(simTable.c_str(), F_OK) != 0) {
        std::string folder = SceneryFolder(sim) + "/";
        for (const char* name : {"base", "scenery"}) folder += MatchIgnoringCase(folder, name) + "/";
        simTable = folder + MatchIgnoringCase(folder, "magdec.bgl");
    }
    char stamp[3];
    for (const std::string& table : {MagvarSourcePath(pkg), simTable}) {
        const int fd = ::open(table.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::pread(fd, stamp, sizeof stamp, 133) != 3) return 1;
        ::close(fd);
    }
    const std::string probe = SceneryFolder(sim) + "/Cycle.txt";
    const int out = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (out < 0 || ::write(out, text.data(), text.size()) < 0 || ::close(out) != 0 || ::unlink(probe.c_str()) != 0) {
        return 1;
    }

    // The scan.
    int updatable = 0;
    for (const auto& [category, entry] : catalogue) {
        const std::string destination = DestinationPath(sim, entry);
        if (::stat(SourcePath(pkg, category, entry).c_str(), &s) != 0) return 1;
        const bool backedUp = ::stat(BackupPath(destination).c_str(), &b) == 0;
        if (::stat(destination.c_str(), &d) == 0 && !backedUp && (s.st_size != d.st_size || !SameLocalDay(s, d))) {
            ++updatable;
        }
    }

    // The simulator guard.
    int processes = 0;
    if (DIR* proc = ::opendir("/proc")) {
        char cmdline[4096];
        while (const dirent* e = ::readdir(proc)) {
            if (e->d_name[0] < '0' || e->d_name[0] > '9') continue;
            const int fd = ::open(("/proc/" + std::string(e->d_name) + "/cmdline").c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0) continue;
            processes += ::read(fd, cmdline, sizeof cmdline) >= 0 ? 1 : 0;
            ::close(fd);
        }
        ::closedir(proc);
    }
    std::printf("%zu files, %d updatable, %d processes\n", catalogue.size(), updatable, processes);
    return 0;
}
