#pragma once

#include <string>

#include "platform/FileSystem.h"

namespace orvanta {

// True when the command-line text asks to skip simulator detection: the text is split at
// every "/", each token trimmed of blanks and lower-cased, and one must equal "nodetect".
bool CommandLineAsksNoDetect(const std::string& commandLineText);

// The first line of the package's "Cycle.txt", unchanged; "NA" when the file cannot be
// read or holds no line.
std::string ReadCycleLabel(FileSystem& fs, const std::string& appFolder);

}  // namespace orvanta
