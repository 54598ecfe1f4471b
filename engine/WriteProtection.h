#pragma once

#include <string>

#include "platform/FileSystem.h"

namespace orvanta {

// Makes an existing file normal when it is read-only, hidden or system. True when nothing
// failed, also when there was no file or nothing to clear; it passes no error on.
bool ClearWriteProtection(FileSystem& fs, const std::string& path);

}  // namespace orvanta
