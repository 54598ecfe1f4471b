#include "tools/PeImage.h"

#include <cstring>
#include <utility>
#include <vector>

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
void Align4(std::string& b) { b.resize((b.size() + 3) / 4 * 4, '\0'); }

constexpr std::uint32_t kFileAlign = 0x200;
constexpr std::uint32_t kSectionRva = 0x1000;
constexpr std::uint32_t kSignature = 0xFEEF04BD;

// A version-information node: wLength, wValueLength, wType, the UTF-16 key with its NUL,
// padding, the value, padding, the children.
std::string VersionNode(const char* key, std::uint16_t type, const std::string& value, std::uint16_t valueLength,
                        const std::string& children) {
    std::string n(6, '\0');
    for (const char* k = key; *k != '\0'; ++k) {
        n += *k;
        n += '\0';
    }
    n += std::string(2, '\0');
    Align4(n);
    n += value;
    Align4(n);
    n += children;
    Put16(n, 0, static_cast<std::uint16_t>(n.size()));
    Put16(n, 2, valueLength);
    Put16(n, 4, type);
    return n;
}

std::string Utf16z(const std::string& s) {
    std::string out;
    for (char c : s) {
        out += c;
        out += '\0';
    }
    return out + std::string(2, '\0');
}

std::string FixedInfo(std::uint32_t ms, std::uint32_t ls) {
    std::string f(52, '\0');
    Put32(f, 0, kSignature);
    Put32(f, 4, 0x00010000);
    Put32(f, 8, ms);
    Put32(f, 12, ls);
    Put32(f, 16, ms);
    Put32(f, 20, ls);
    Put32(f, 24, 0x3F);
    Put32(f, 32, 0x00040004);  // VOS_NT_WINDOWS32
    Put32(f, 36, 1);           // VFT_APP
    return f;
}

std::string VersionBlock(const PeImageSpec& spec) {
    const std::uint32_t ms = (std::uint32_t{spec.major} << 16) | spec.minor;
    const std::uint32_t ls = (std::uint32_t{spec.build} << 16) | spec.revision;
    std::string children;
    if (spec.stringFileInfo) {
        const std::string version = std::to_string(spec.major) + "." + std::to_string(spec.minor) + "." +
                                    std::to_string(spec.build) + "." + std::to_string(spec.revision);
        const std::string value = Utf16z(version);
        const std::string str = VersionNode("FileVersion", 1, value, static_cast<std::uint16_t>(value.size() / 2), "");
        const std::string table = VersionNode("040904b0", 1, "", 0, str);
        children = VersionNode("StringFileInfo", 1, "", 0, table);
    }
    if (!spec.fixedInfo) return VersionNode("VS_VERSION_INFO", 0, "", 0, children);
    return VersionNode("VS_VERSION_INFO", 0, FixedInfo(ms, ls), 52, children);
}

// A resource directory with id entries (id, offset with the subdirectory flag when set).
std::string Directory(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& entries) {
    std::string d(16 + 8 * entries.size(), '\0');
    Put16(d, 14, static_cast<std::uint16_t>(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Put32(d, 16 + 8 * i, entries[i].first);
        Put32(d, 16 + 8 * i + 4, entries[i].second);
    }
    return d;
}

}  // namespace

std::string MakePeImage(const PeImageSpec& spec, PeImageLayout* layout) {
    PeImageLayout where;
    struct Resource {
        std::uint32_t type;
        std::uint16_t language;
        std::string data;
    };
    std::vector<Resource> resources;
    if (spec.decoyIcon) {
        // Bytes that look like a fixed block of version 9.8.7.6.
        std::string icon = std::string(8, '\x55') + FixedInfo(0x00090008, 0x00070006);
        resources.push_back({3, 0x409, icon});
    }
    if (spec.versionResource) resources.push_back({16, spec.language, VersionBlock(spec)});

    // Layout in the section: root, then per resource its name and language directories and
    // its data entry, then the data.
    const std::uint32_t flag = 0x80000000u;
    const std::size_t count = resources.size();
    const std::size_t rootSize = 16 + 8 * count;
    const std::size_t perResource = 24 + 24 + 16;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> rootEntries;
    for (std::size_t i = 0; i < count; ++i) {
        rootEntries.push_back({resources[i].type, flag | static_cast<std::uint32_t>(rootSize + perResource * i)});
    }
    std::string rsrc = Directory(rootEntries);
    std::size_t dataAt = rootSize + perResource * count;
    std::vector<std::size_t> dataOffsets;
    for (const Resource& r : resources) {
        dataAt = (dataAt + 3) / 4 * 4;
        dataOffsets.push_back(dataAt);
        dataAt += r.data.size();
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t nameDir = rootSize + perResource * i;
        rsrc += Directory({{1, flag | static_cast<std::uint32_t>(nameDir + 24)}});
        rsrc += Directory({{resources[i].language, static_cast<std::uint32_t>(nameDir + 48)}});
        std::string entry(16, '\0');
        Put32(entry, 0, kSectionRva + static_cast<std::uint32_t>(dataOffsets[i]));
        Put32(entry, 4, static_cast<std::uint32_t>(resources[i].data.size()));
        if (resources[i].type == 16) where.versionDataEntry = nameDir + 48;
        rsrc += entry;
    }
    for (std::size_t i = 0; i < count; ++i) {
        rsrc.resize(dataOffsets[i], '\0');
        if (resources[i].type == 16) where.versionBlock = rsrc.size();
        rsrc += resources[i].data;
    }
    const auto resourceSize = static_cast<std::uint32_t>(rsrc.size());
    const auto rawSize = static_cast<std::uint32_t>((rsrc.size() + kFileAlign - 1) / kFileAlign * kFileAlign);
    rsrc.resize(rawSize, '\0');

    std::string image(kFileAlign, '\0');
    image[0] = 'M';
    image[1] = 'Z';
    Put32(image, 0x3C, 0x40);
    std::memcpy(&image[0x40], "PE\0\0", 4);
    const std::size_t coff = 0x44;
    const std::uint16_t optionalSize = spec.pe32Plus ? 240 : 224;
    Put16(image, coff + 0, spec.pe32Plus ? 0x8664 : 0x014C);
    Put16(image, coff + 2, 1);  // one section
    Put16(image, coff + 16, optionalSize);
    Put16(image, coff + 18, spec.pe32Plus ? 0x0022 : 0x0102);  // executable; large address aware or 32-bit
    const std::size_t opt = coff + 20;
    Put16(image, opt + 0, spec.pe32Plus ? 0x20B : 0x10B);
    if (spec.pe32Plus) {
        Put64(image, opt + 24, 0x140000000ull);
    } else {
        Put32(image, opt + 28, 0x400000);
    }
    Put32(image, opt + 32, 0x1000);                                             // section alignment
    Put32(image, opt + 36, kFileAlign);                                         // file alignment
    Put16(image, opt + 40, 6);                                                  // OS version
    Put16(image, opt + 48, 6);                                                  // subsystem version
    Put32(image, opt + 56, kSectionRva + (rawSize + 0xFFF) / 0x1000 * 0x1000);  // size of image
    Put32(image, opt + 60, kFileAlign);                                         // size of headers
    Put16(image, opt + 68, 2);                                                  // GUI subsystem
    std::size_t dirs = 0;
    if (spec.pe32Plus) {
        Put64(image, opt + 72, 0x100000);
        Put64(image, opt + 80, 0x1000);
        Put64(image, opt + 88, 0x100000);
        Put64(image, opt + 96, 0x1000);
        Put32(image, opt + 108, 16);
        dirs = opt + 112;
    } else {
        Put32(image, opt + 72, 0x100000);
        Put32(image, opt + 76, 0x1000);
        Put32(image, opt + 80, 0x100000);
        Put32(image, opt + 84, 0x1000);
        Put32(image, opt + 92, 16);
        dirs = opt + 96;
    }
    Put32(image, dirs + 2 * 8, kSectionRva);  // resource directory
    Put32(image, dirs + 2 * 8 + 4, resourceSize);
    const std::size_t sec = opt + optionalSize;
    std::memcpy(&image[sec], ".rsrc", 5);
    Put32(image, sec + 8, resourceSize);  // virtual size
    Put32(image, sec + 12, kSectionRva);  // virtual address
    Put32(image, sec + 16, rawSize);
    Put32(image, sec + 20, kFileAlign);   // raw data offset
    Put32(image, sec + 36, 0x40000040u);  // initialised data, readable

    where.peHeader = 0x40;
    where.optionalHeader = opt;
    where.sectionTable = sec;
    where.resourceSection = kFileAlign;
    where.versionDataEntry += kFileAlign;
    where.versionBlock += kFileAlign;
    where.fixedInfo = spec.versionResource && spec.fixedInfo ? where.versionBlock + 40 : 0;
    if (!spec.versionResource) where.versionDataEntry = where.versionBlock = 0;
    if (layout != nullptr) *layout = where;
    return image + rsrc;
}

std::string MakeVersionedExecutable(std::uint16_t major, std::uint16_t minor, std::uint16_t build,
                                    std::uint16_t revision) {
    PeImageSpec spec;
    spec.major = major;
    spec.minor = minor;
    spec.build = build;
    spec.revision = revision;
    return MakePeImage(spec);
}

}  // namespace orvanta::tools
