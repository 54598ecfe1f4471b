#include <cstddef>
#include <cstdint>

#include "platform/PeVersionReader.h"

// Any bytes as an executable: the reader must answer without reading outside them.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    orvanta::ReadPeFileVersion(data, size);
    return 0;
}
