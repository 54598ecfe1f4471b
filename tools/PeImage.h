#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace orvanta::tools {

// What a generated executable holds. It carries only resources and does not run.
struct PeImageSpec {
    bool pe32Plus = true;  // PE32+ (64-bit) or PE32 (32-bit)
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t build = 0;
    std::uint16_t revision = 0;
    bool versionResource = true;  // an RT_VERSION resource at all
    bool fixedInfo = true;        // the version resource carries its fixed block
    std::uint16_t language = 0x409;
    // An icon resource listed before the version resource, whose bytes contain a fixed
    // block signature with other numbers (a reader must not take it).
    bool decoyIcon = false;
    // A StringFileInfo child after the fixed block, as real executables have.
    bool stringFileInfo = true;
};

// File offsets of the structures a test may want to damage.
struct PeImageLayout {
    std::size_t peHeader = 0;  // "PE\0\0"
    std::size_t optionalHeader = 0;
    std::size_t sectionTable = 0;
    std::size_t resourceSection = 0;   // raw data of ".rsrc"
    std::size_t versionDataEntry = 0;  // IMAGE_RESOURCE_DATA_ENTRY of the version resource
    std::size_t versionBlock = 0;      // VS_VERSIONINFO
    std::size_t fixedInfo = 0;         // VS_FIXEDFILEINFO
};

std::string MakePeImage(const PeImageSpec& spec, PeImageLayout* layout = nullptr);

// The bytes of a minimal 64-bit Windows executable that carries nothing but a version
// resource with the given file version. Enough for version readers; it does not run.
std::string MakeVersionedExecutable(std::uint16_t major, std::uint16_t minor, std::uint16_t build,
                                    std::uint16_t revision);

}  // namespace orvanta::tools
