#pragma once

#include "platform/FileSystem.h"
#include "platform/FileVersions.h"

namespace orvanta {

// Reads the version resource of a Windows executable straight from the file.
class PosixFileVersions : public FileVersions {
public:
    explicit PosixFileVersions(FileSystem& fs) : fs_(fs) {}
    FileVersion Read(const std::string& path) override;

private:
    FileSystem& fs_;
};

}  // namespace orvanta
