#include "status/MagvarStatus.h"

#include "package/PathScheme.h"

namespace orvanta {

namespace {

constexpr std::uint64_t kStampOffset = 133;
constexpr std::size_t kStampSize = 3;

MagvarOption Unavailable() { return {MagvarStatus::Unavailable, "Magvar table (NA)", false, true}; }

}  // namespace

bool ReadMagvarStamp(FileSystem& fs, const std::string& path, MagvarStamp& stamp) {
    std::vector<std::uint8_t> bytes;
    if (!fs.ReadBytes(path, kStampOffset, kStampSize, bytes) || bytes.size() < kStampSize) return false;
    stamp.revision = bytes[0];
    stamp.version = static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes[1] | (bytes[2] << 8)));
    return true;
}

bool IsNewerStamp(const MagvarStamp& package, const MagvarStamp& simulator) {
    if (package.version != simulator.version) return package.version > simulator.version;
    return package.revision > simulator.revision;
}

std::string FormatMagvarStamp(const MagvarStamp& stamp) {
    static const char kDigits[] = "0123456789ABCDEF";
    unsigned value = static_cast<std::uint16_t>(stamp.version);
    std::string hex;
    do {
        hex.insert(hex.begin(), kDigits[value % 16]);
        value /= 16;
    } while (value != 0);
    return hex + "-R" + std::to_string(stamp.revision);
}

MagvarOption RefreshMagvarStatus(FileSystem& fs, const ProgramState& state) {
    const std::string simulatorTable = MagvarDestinationPath(state.SelectedSimFolder);
    const std::string packageTable = MagvarSourcePath(state.AppFolder);
    if (!fs.Exists(simulatorTable) || !fs.Exists(packageTable)) return Unavailable();
    MagvarStamp simulator, package;
    if (!ReadMagvarStamp(fs, simulatorTable, simulator) || !ReadMagvarStamp(fs, packageTable, package)) {
        return Unavailable();
    }
    if (IsNewerStamp(package, simulator)) {
        return {MagvarStatus::Newer, "Magvar table (" + FormatMagvarStamp(package) + ")", true, false};
    }
    return {MagvarStatus::NotNewer, "Magvar table (up to date)", false, true};
}

}  // namespace orvanta
