#pragma once

#include <cstdint>
#include <string>

namespace orvanta {

// The fixed file version of an executable: major.minor.build.revision.
struct FileVersion {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t build = 0;
    std::uint16_t revision = 0;

    bool IsZero() const { return major == 0 && minor == 0 && build == 0 && revision == 0; }
    bool operator==(const FileVersion& o) const {
        return major == o.major && minor == o.minor && build == o.build && revision == o.revision;
    }
};

class FileVersions {
public:
    virtual ~FileVersions() = default;
    // 0.0.0.0 when the file is absent, not an executable or carries no version.
    virtual FileVersion Read(const std::string& path) = 0;
};

}  // namespace orvanta
