#pragma once

#include <string>

namespace orvanta {

// The image name of a process as a Linux host shows it: the file name of the first
// command-line argument (split at '/' and '\', since Wine shows a Windows program as
// "C:\...\Prepar3D.exe"), or, when the command line is empty, the kernel's name for it.
std::string ImageNameOf(const std::string& cmdline, const std::string& comm);

// FSX's image name, "FSX.exe" in any letter case, as Windows names go: the process that
// owns FSX's windows.
bool IsFsxImageName(const std::string& name);

}  // namespace orvanta
