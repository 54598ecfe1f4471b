// The magvar tables of the package and of the simulator: any bytes, any length.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

#include "package/PathScheme.h"
#include "status/MagvarStatus.h"
#include "support/MemoryFileSystem.h"

using namespace orvanta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    test::MemoryFileSystem fs;
    ProgramState state;
    state.AppFolder = std::string(1, kSep) + "pkg" + kSep;
    state.SelectedSimFolder = std::string(1, kSep) + "sim" + kSep;
    const std::string packageTable = MagvarSourcePath(state.AppFolder);
    const std::string simulatorTable = MagvarDestinationPath(state.SelectedSimFolder);
    fs.AddFile(packageTable, input.ConsumeRandomLengthString(512));
    fs.AddFile(simulatorTable, input.ConsumeRemainingBytesAsString());

    MagvarStamp package, simulator;
    const bool both = ReadMagvarStamp(fs, packageTable, package) && ReadMagvarStamp(fs, simulatorTable, simulator);
    const MagvarOption option = RefreshMagvarStatus(fs, state);
    if (!both) {
        if (option.status != MagvarStatus::Unavailable || option.enabled) std::abort();
        return 0;
    }
    const std::string stamp = FormatMagvarStamp(package);
    if (stamp.empty() || stamp.size() > 4 + 2 + 3) std::abort();
    // Two different stamps are always ordered one way.
    const bool differ = package.version != simulator.version || package.revision != simulator.revision;
    if (differ && IsNewerStamp(package, simulator) == IsNewerStamp(simulator, package)) std::abort();
    if ((option.status == MagvarStatus::Newer) != IsNewerStamp(package, simulator)) std::abort();
    if (option.status == MagvarStatus::Newer && option.caption != "Magvar table (" + stamp + ")") std::abort();
    return 0;
}
