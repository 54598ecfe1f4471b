#include "platform/PeVersionReader.h"

#include <algorithm>

namespace orvanta {

namespace {

constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::uint32_t kRtVersion = 16;
constexpr std::uint32_t kVsVersionInfo = 1;
constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr std::size_t kFixedInfoSize = 52;
constexpr std::uint32_t kSubdirectoryFlag = 0x80000000;
// Limits that no real executable reaches; they keep a damaged file from asking for
// gigabytes.
constexpr std::uint32_t kMaxSections = 96;
constexpr std::uint32_t kMaxDirectoryEntries = 4096;
constexpr std::uint32_t kMaxVersionBlock = 1u << 20;

std::uint16_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
           (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

struct Section {
    std::uint32_t virtualAddress;
    std::uint32_t virtualSize;
    std::uint32_t rawSize;
    std::uint32_t rawOffset;
};

class PeImage {
public:
    explicit PeImage(const ReadBytesAt& read) : read_(read) {}

    bool Read(std::uint64_t offset, std::size_t count, std::vector<std::uint8_t>& bytes) const {
        bytes.clear();
        return read_(offset, count, bytes) && bytes.size() == count;
    }

    // Reads the headers and the section table; false when this is no PE image.
    bool Load() {
        std::vector<std::uint8_t> b;
        if (!Read(0, 64, b) || b[0] != 'M' || b[1] != 'Z') return false;
        const std::uint32_t peOffset = U32(b, 0x3C);
        if (!Read(peOffset, 24, b) || b[0] != 'P' || b[1] != 'E' || b[2] != 0 || b[3] != 0) return false;
        const std::uint32_t sectionCount = U16(b, 6);
        const std::uint32_t optionalSize = U16(b, 20);
        if (sectionCount == 0 || sectionCount > kMaxSections) return false;
        const std::uint64_t optionalAt = static_cast<std::uint64_t>(peOffset) + 24;
        if (optionalSize < 2 || !Read(optionalAt, optionalSize, b)) return false;

        std::size_t countAt = 0;
        std::size_t directoriesAt = 0;
        switch (U16(b, 0)) {
            case kPe32Magic:
                countAt = 92;
                directoriesAt = 96;
                break;
            case kPe32PlusMagic:
                countAt = 108;
                directoriesAt = 112;
                break;
            default: return false;
        }
        if (optionalSize < countAt + 4) return false;
        const std::uint32_t directoryCount = U32(b, countAt);
        const std::size_t resourceAt = directoriesAt + 8 * kResourceDirectoryIndex;
        if (directoryCount <= kResourceDirectoryIndex || optionalSize < resourceAt + 8) return false;
        resourceRva_ = U32(b, resourceAt);
        if (resourceRva_ == 0) return false;

        if (!Read(optionalAt + optionalSize, static_cast<std::size_t>(sectionCount) * 40, b)) return false;
        for (std::uint32_t i = 0; i < sectionCount; ++i) {
            const std::size_t at = static_cast<std::size_t>(i) * 40;
            sections_.push_back({U32(b, at + 12), U32(b, at + 8), U32(b, at + 16), U32(b, at + 20)});
        }
        return true;
    }

    // The file offset of count bytes at a relative virtual address; they must lie in one
    // section's file data.
    bool MapRva(std::uint64_t rva, std::uint64_t count, std::uint64_t& offset) const {
        for (const Section& s : sections_) {
            const std::uint64_t extent = s.virtualSize == 0 ? s.rawSize : std::min(s.virtualSize, s.rawSize);
            if (rva < s.virtualAddress || rva - s.virtualAddress >= extent) continue;
            const std::uint64_t inSection = rva - s.virtualAddress;
            if (inSection + count > extent) return false;
            offset = static_cast<std::uint64_t>(s.rawOffset) + inSection;
            return true;
        }
        return false;
    }

    bool ReadRva(std::uint64_t rva, std::size_t count, std::vector<std::uint8_t>& bytes) const {
        std::uint64_t offset = 0;
        return MapRva(rva, count, offset) && Read(offset, count, bytes);
    }

    // The entry of a resource directory (at an offset in the resource tree) to follow:
    // the one with `id`, or the first when `id` is negative and none is language neutral.
    bool FindEntry(std::uint32_t directory, long id, std::uint32_t& target) const {
        std::vector<std::uint8_t> b;
        if (!ReadRva(static_cast<std::uint64_t>(resourceRva_) + directory, 16, b)) return false;
        const std::uint32_t count = static_cast<std::uint32_t>(U16(b, 12)) + U16(b, 14);
        if (count == 0 || count > kMaxDirectoryEntries) return false;
        if (!ReadRva(static_cast<std::uint64_t>(resourceRva_) + directory + 16, static_cast<std::size_t>(count) * 8,
                     b)) {
            return false;
        }
        bool found = false;
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint32_t name = U32(b, i * 8);
            const std::uint32_t offset = U32(b, i * 8 + 4);
            const bool named = (name & kSubdirectoryFlag) != 0;
            if (id >= 0) {
                if (!named && name == static_cast<std::uint32_t>(id)) {
                    target = offset;
                    return true;
                }
            } else {
                // Any language will do; the neutral one is what the system would load first.
                if (!found || (!named && name == 0)) {
                    target = offset;
                    found = true;
                }
            }
        }
        return found;
    }

    FileVersion ReadVersion() const {
        std::uint32_t typeDir = 0, nameDir = 0, data = 0;
        if (!FindEntry(0, kRtVersion, typeDir) || (typeDir & kSubdirectoryFlag) == 0) return {};
        if (!FindEntry(typeDir & ~kSubdirectoryFlag, kVsVersionInfo, nameDir) || (nameDir & kSubdirectoryFlag) == 0) {
            return {};
        }
        if (!FindEntry(nameDir & ~kSubdirectoryFlag, -1, data) || (data & kSubdirectoryFlag) != 0) return {};

        std::vector<std::uint8_t> b;
        if (!ReadRva(static_cast<std::uint64_t>(resourceRva_) + data, 16, b)) return {};
        const std::uint32_t blockRva = U32(b, 0);
        const std::uint32_t declaredSize = U32(b, 4);
        std::uint64_t unused = 0;
        // The resource as declared must lie in the file, as the system's loader requires.
        if (!MapRva(blockRva, declaredSize, unused)) return {};
        std::uint32_t blockSize = std::min(declaredSize, kMaxVersionBlock);
        if (blockSize < 6 || !ReadRva(blockRva, 6, b)) return {};
        // VS_VERSIONINFO: wLength, wValueLength (0 when there is no fixed block), wType,
        // the key "VS_VERSION_INFO", padding, then the fixed block.
        blockSize = std::min<std::uint32_t>(blockSize, U16(b, 0));
        if (U16(b, 2) == 0 || blockSize < kFixedInfoSize + 4 || !ReadRva(blockRva, blockSize, b)) return {};
        for (std::size_t at = 4; at + kFixedInfoSize <= blockSize; at += 4) {
            if (U32(b, at) != kFixedInfoSignature) continue;
            const std::uint32_t ms = U32(b, at + 8);
            const std::uint32_t ls = U32(b, at + 12);
            FileVersion v;
            v.major = static_cast<std::uint16_t>(ms >> 16);
            v.minor = static_cast<std::uint16_t>(ms & 0xFFFF);
            v.build = static_cast<std::uint16_t>(ls >> 16);
            v.revision = static_cast<std::uint16_t>(ls & 0xFFFF);
            return v;
        }
        return {};
    }

private:
    const ReadBytesAt& read_;
    std::uint32_t resourceRva_ = 0;
    std::vector<Section> sections_;
};

}  // namespace

FileVersion ReadPeFileVersion(const ReadBytesAt& read) {
    PeImage image(read);
    if (!image.Load()) return {};
    return image.ReadVersion();
}

FileVersion ReadPeFileVersion(const std::uint8_t* data, std::size_t size) {
    const ReadBytesAt read = [data, size](std::uint64_t offset, std::size_t count, std::vector<std::uint8_t>& bytes) {
        if (offset > size || count > size - offset) return false;
        bytes.assign(data + offset, data + offset + count);
        return true;
    };
    return ReadPeFileVersion(read);
}

}  // namespace orvanta
