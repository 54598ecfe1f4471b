#pragma once

#include <cstdint>
#include <string>

#include "app/ProgramState.h"
#include "platform/FileSystem.h"

namespace orvanta {

enum class MagvarStatus { Newer, NotNewer, Unavailable };

// The version stamp of a magdec.bgl: the revision byte at offset 133 and the 16-bit
// little-endian version at offset 134.
struct MagvarStamp {
    std::int16_t version = 0;
    std::uint8_t revision = 0;
};

// False when the file cannot be opened or is too short to hold the stamp.
bool ReadMagvarStamp(FileSystem& fs, const std::string& path, MagvarStamp& stamp);

// Newer when the package's version is greater (signed), or equal with a greater revision.
bool IsNewerStamp(const MagvarStamp& package, const MagvarStamp& simulator);

// The magvar option as the comparison leaves it.
struct MagvarOption {
    MagvarStatus status = MagvarStatus::Unavailable;
    std::string caption;  // "Magvar table (2022-R3)", "Magvar table (up to date)", "Magvar table (NA)"
    bool enabled = false;
    // True when the option must be unticked; a newer table leaves the tick as it is.
    bool untick = true;
};

// Compares the package's table with the selected simulator's.
MagvarOption RefreshMagvarStatus(FileSystem& fs, const ProgramState& state);

// "2022-R3": the version in upper-case hexadecimal without leading zeros, "-R", the
// revision in decimal.
std::string FormatMagvarStamp(const MagvarStamp& stamp);

}  // namespace orvanta
