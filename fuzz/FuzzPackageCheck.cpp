// The package's lists and Cycle.txt as a downloaded package may hold them: any bytes.
// The catalogue the check leaves must be sound whenever it reports no problem, and the
// scan over it must hold.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

#include "app/Startup.h"
#include "package/PackageCheck.h"
#include "package/PathScheme.h"
#include "status/FileStatus.h"
#include "support/MemoryFileSystem.h"

using namespace orvanta;

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

const char* const kPrefixes[] = {"APX", "ATX", "NVX"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    test::MemoryFileSystem fs;
    const std::string pkg = std::string(1, kSep) + "pkg" + kSep;
    const std::string sim = std::string(1, kSep) + "sim" + kSep;
    fs.AddFolder(pkg);
    fs.AddFolder(sim + "Scenery");

    const std::uint8_t missingFixed = input.ConsumeIntegral<std::uint8_t>();
    const char* fixed[] = {"Cycle.txt", "magdec.bgl", "APXFileList.txt", "ATXFileList.txt", "NVXFileList.txt"};
    std::string texts[5];
    for (std::string& t : texts) t = input.ConsumeRandomLengthString(4096);
    for (int i = 0; i < 5; ++i) {
        if (((missingFixed >> i) & 1) == 0) fs.AddFile(pkg + fixed[i], texts[i]);
    }
    // Listed files are present unless the input says otherwise, one bit per line.
    for (FileCategory category : kAllCategories) {
        const CategoryInfo& info = InfoOf(category);
        std::vector<std::string> lines;
        if (!fs.ReadLines(pkg + info.listFile, lines)) continue;
        for (const std::string& line : lines) {
            if (line.empty() || line.find(kSep) != std::string::npos || line.size() > 64) continue;
            if (input.remaining_bytes() > 0 && input.ConsumeBool()) continue;
            fs.AddFile(pkg + info.folder + kSep + line + ".bgl", "bgl");
        }
    }

    ProgramState state;
    state.AppFolder = pkg;
    state.SelectedSim = 1;
    state.SelectedSimFolder = sim;
    std::string errorLog;
    CheckPackage(fs, state, errorLog);
    (void)ReadCycleLabel(fs, pkg);
    if (!errorLog.empty()) return 0;

    // A sound package: every entry complete, and the scan sees each entry once.
    int total = 0;
    for (FileCategory category : kAllCategories) {
        for (const PackageEntry& entry : state.Table(category)) {
            Require(entry.FileName.size() == 12 && entry.FileName.compare(8, 4, ".bgl") == 0);
            // The category's three capitals, then five digits.
            Require(entry.FileName.compare(0, 3, kPrefixes[static_cast<int>(category)]) == 0);
            Require(entry.FileName.find_first_not_of("0123456789", 3) == 8);
            Require(entry.Area.size() == 4 && entry.Region >= 0 && entry.Region < kRegionCount);
            Require(fs.Exists(SourcePath(pkg, category, entry)));
            ++total;
        }
    }
    StatusSelection all;
    all.regions.fill(true);
    all.categories.fill(true);
    const ScanResult scan = RefreshFileStatus(fs, state, all);
    Require(scan.packageIntact);
    Require(state.StatusCounts[kAvailable] == total);
    Require(state.StatusCounts[kMissingDestination] == total);
    Require(static_cast<int>(state.MissingDestList.size()) == total);
    return 0;
}
