#pragma once

#include "platform/FileVersions.h"

namespace orvanta {

// The fixed version block (VS_FIXEDFILEINFO) of the file's version resource.
class Win32FileVersions : public FileVersions {
public:
    FileVersion Read(const std::string& path) override;
};

}  // namespace orvanta
