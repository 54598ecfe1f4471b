#pragma once

#include <string>

#include "app/ProgramState.h"
#include "platform/FileVersions.h"

namespace orvanta {

// The FSX service level of an FSX.exe by its build number: "RTM", "SP1", "SP2", "XPack",
// or "Unknown" (also for a file without version information).
std::string FsxServiceLevel(FileVersions& versions, const std::string& fsxExePath);

// "v" + major + "." + minor of a Prepar3D.exe, e.g. "v4.5"; "v0.0" without a version.
std::string Prepar3DVersionText(FileVersions& versions, const std::string& prepar3DExePath);

// The main window's caption: "Orvanta Installer v12.5" and the selected simulator's part,
// read from its executable each time. UpdateCaption shows it; `orvanta status` prints it.
std::string BuildCaption(FileVersions& versions, SimVersion selectedSim, const std::string& selectedSimFolder);

}  // namespace orvanta
