#pragma once

#include <cstdint>
#include <string>

namespace orvanta::tools {

// The bytes of a minimal 64-bit Windows executable that carries nothing but a version
// resource with the given file version. Enough for version readers; it does not run.
std::string MakeVersionedExecutable(std::uint16_t major, std::uint16_t minor, std::uint16_t build,
                                    std::uint16_t revision);

}  // namespace orvanta::tools
