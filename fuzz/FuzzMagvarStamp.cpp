// The magvar tables of the package and of the simulator: any bytes, any length.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
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
    const std::string packageBytes = input.ConsumeRandomLengthString(512);
    const std::string simulatorBytes = input.ConsumeRemainingBytesAsString();
    fs.AddFile(packageTable, packageBytes);
    fs.AddFile(simulatorTable, simulatorBytes);
    const MagvarOption option = RefreshMagvarStatus(fs, state);

    // The stamp as the table's format lays it out: the revision byte at 133, then the
    // signed 16-bit version, low byte first. A table too short to hold it has none.
    if (packageBytes.size() < 136 || simulatorBytes.size() < 136) {
        if (option.caption != "Magvar table (NA)" || option.enabled || !option.untick) std::abort();
        return 0;
    }
    const auto revision = [](const std::string& b) { return static_cast<unsigned char>(b[133]); };
    const auto version = [](const std::string& b) {
        return static_cast<std::int16_t>(static_cast<unsigned char>(b[134]) | static_cast<unsigned char>(b[135]) << 8);
    };
    const bool newer =
        version(packageBytes) > version(simulatorBytes) ||
        (version(packageBytes) == version(simulatorBytes) && revision(packageBytes) > revision(simulatorBytes));
    char caption[64];
    std::snprintf(caption, sizeof caption, "Magvar table (%X-R%u)", static_cast<std::uint16_t>(version(packageBytes)),
                  static_cast<unsigned>(revision(packageBytes)));
    if (newer && (option.caption != caption || !option.enabled || option.untick)) std::abort();
    if (!newer && (option.caption != "Magvar table (up to date)" || option.enabled || !option.untick)) std::abort();
    return 0;
}
