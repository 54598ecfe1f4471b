// A simulator's executable as the folder judgement and the caption read it: the user can
// point --sim-folder or "Set folder" at any file named FSX.exe or Prepar3D.exe.
#include <cstdlib>

#include "platform/PeVersionReader.h"

using namespace orvanta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FileVersion inMemory = ReadPeFileVersion(data, size);

    // The same file read the way the file system reads it: short at the end, never a
    // request beyond the limits the reader promises.
    std::size_t largest = 0;
    const ReadBytesAt read = [&](std::uint64_t offset, std::size_t count, std::vector<std::uint8_t>& bytes) {
        largest = std::max(largest, count);
        bytes.clear();
        if (offset >= size) return false;
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, size - offset));
        bytes.assign(data + offset, data + offset + n);
        return n == count;
    };
    const FileVersion throughReads = ReadPeFileVersion(read);
    if (inMemory.major != throughReads.major || inMemory.minor != throughReads.minor ||
        inMemory.build != throughReads.build || inMemory.revision != throughReads.revision) {
        std::abort();
    }
    if (largest > (1u << 20)) std::abort();
    return 0;
}
