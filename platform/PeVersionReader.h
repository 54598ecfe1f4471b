#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/FileVersions.h"

namespace orvanta {

// Reads `count` bytes at `offset` of a file into `bytes`; false when they are not all there.
using ReadBytesAt = std::function<bool(std::uint64_t offset, std::size_t count, std::vector<std::uint8_t>& bytes)>;

// The fixed file version of a Windows executable (PE32 or PE32+): the VS_FIXEDFILEINFO of
// its RT_VERSION resource. Any file that is not such an executable, or whose structures
// point outside the file, gives 0.0.0.0. Reads only through `read`, never past what it
// answers.
FileVersion ReadPeFileVersion(const ReadBytesAt& read);

// The same over bytes in memory.
FileVersion ReadPeFileVersion(const std::uint8_t* data, std::size_t size);

}  // namespace orvanta
