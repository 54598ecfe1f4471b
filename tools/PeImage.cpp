#include "tools/PeImage.h"

#include <cstring>

namespace orvanta::tools {

namespace {

void Put16(std::string& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8);
}
void Put32(std::string& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
void Put64(std::string& b, std::size_t at, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

constexpr std::uint32_t kFileAlign = 0x200;
constexpr std::uint32_t kSectionRva = 0x1000;

// VS_VERSIONINFO with only its fixed block.
std::string VersionBlock(std::uint32_t ms, std::uint32_t ls) {
    std::string v(92, '\0');
    Put16(v, 0, 92);  // wLength
    Put16(v, 2, 52);  // wValueLength
    Put16(v, 4, 0);   // wType: binary
    const char* key = "VS_VERSION_INFO";
    for (std::size_t i = 0; i < std::strlen(key); ++i) Put16(v, 6 + 2 * i, static_cast<std::uint16_t>(key[i]));
    // 6 + 32 bytes of key, padded to 40.
    const std::size_t f = 40;
    Put32(v, f + 0, 0xFEEF04BD);
    Put32(v, f + 4, 0x00010000);
    Put32(v, f + 8, ms);
    Put32(v, f + 12, ls);
    Put32(v, f + 16, ms);
    Put32(v, f + 20, ls);
    Put32(v, f + 24, 0x3F);
    Put32(v, f + 32, 0x00040004);  // VOS_NT_WINDOWS32
    Put32(v, f + 36, 1);           // VFT_APP
    return v;
}

}  // namespace

std::string MakeVersionedExecutable(std::uint16_t major, std::uint16_t minor, std::uint16_t build,
                                    std::uint16_t revision) {
    // Resource section: type RT_VERSION (16) -> name 1 -> language 0x409 -> data.
    std::string rsrc(16 + 8 + 16 + 8 + 16 + 8 + 16, '\0');
    const std::size_t nameDir = 24, langDir = 48, dataEntry = 72;
    Put16(rsrc, 14, 1);
    Put32(rsrc, 16, 16);
    Put32(rsrc, 20, 0x80000000u | nameDir);
    Put16(rsrc, nameDir + 14, 1);
    Put32(rsrc, nameDir + 16, 1);
    Put32(rsrc, nameDir + 20, 0x80000000u | langDir);
    Put16(rsrc, langDir + 14, 1);
    Put32(rsrc, langDir + 16, 0x409);
    Put32(rsrc, langDir + 20, dataEntry);
    const std::string block = VersionBlock((std::uint32_t{major} << 16) | minor, (std::uint32_t{build} << 16) | revision);
    Put32(rsrc, dataEntry + 0, kSectionRva + static_cast<std::uint32_t>(rsrc.size()));
    Put32(rsrc, dataEntry + 4, static_cast<std::uint32_t>(block.size()));
    rsrc += block;
    const auto rawSize = static_cast<std::uint32_t>((rsrc.size() + kFileAlign - 1) / kFileAlign * kFileAlign);
    rsrc.resize(rawSize, '\0');

    std::string image(kFileAlign, '\0');
    image[0] = 'M';
    image[1] = 'Z';
    Put32(image, 0x3C, 0x40);
    std::memcpy(&image[0x40], "PE\0\0", 4);
    const std::size_t coff = 0x44;
    Put16(image, coff + 0, 0x8664);  // x86-64
    Put16(image, coff + 2, 1);       // one section
    Put16(image, coff + 16, 240);    // optional header size (PE32+)
    Put16(image, coff + 18, 0x0022); // executable, large address aware
    const std::size_t opt = coff + 20;
    Put16(image, opt + 0, 0x20B);  // PE32+
    Put64(image, opt + 24, 0x140000000ull);
    Put32(image, opt + 32, 0x1000);      // section alignment
    Put32(image, opt + 36, kFileAlign);  // file alignment
    Put16(image, opt + 40, 6);           // OS version
    Put16(image, opt + 48, 6);           // subsystem version
    Put32(image, opt + 56, kSectionRva + 0x1000);  // size of image
    Put32(image, opt + 60, kFileAlign);             // size of headers
    Put16(image, opt + 68, 2);                      // GUI subsystem
    Put64(image, opt + 72, 0x100000);               // stack reserve
    Put64(image, opt + 80, 0x1000);
    Put64(image, opt + 88, 0x100000);               // heap reserve
    Put64(image, opt + 96, 0x1000);
    Put32(image, opt + 108, 16);                    // data directories
    const std::size_t dirs = opt + 112;
    Put32(image, dirs + 2 * 8, kSectionRva);  // resource directory
    Put32(image, dirs + 2 * 8 + 4, static_cast<std::uint32_t>(16 + 8 + 16 + 8 + 16 + 8 + 16 + block.size()));
    const std::size_t sec = opt + 240;
    std::memcpy(&image[sec], ".rsrc", 5);
    Put32(image, sec + 8, 0x1000);        // virtual size
    Put32(image, sec + 12, kSectionRva);  // virtual address
    Put32(image, sec + 16, rawSize);
    Put32(image, sec + 20, kFileAlign);     // raw data offset
    Put32(image, sec + 36, 0x40000040u);  // initialised data, readable
    return image + rsrc;
}

}  // namespace orvanta::tools
