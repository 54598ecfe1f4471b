#include "platform/posix/PosixFileVersions.h"

#include "platform/PeVersionReader.h"

namespace orvanta {

FileVersion PosixFileVersions::Read(const std::string& path) {
    if (!fs_.Exists(path) || fs_.IsFolder(path)) return {};
    const ReadBytesAt read = [&](std::uint64_t offset, std::size_t count, std::vector<std::uint8_t>& bytes) {
        return fs_.ReadBytes(path, offset, count, bytes).ok() && bytes.size() == count;
    };
    return ReadPeFileVersion(read);
}

}  // namespace orvanta
