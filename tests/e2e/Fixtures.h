#pragma once

#include <string>

namespace orvanta::e2e {

// The package and simulator the window scenarios work on. Folders are Windows paths
// without a trailing backslash.
//
// Package: APX47180 (area 0502), ATX05021 (0502), ATX06011 (0601), NVX04021 (0402), all
// dated 01-12-2022, and a magvar table of 2022-R3. Simulator: APX47180 and NVX04021 older
// (updatable), ATX05021 the package's (up to date), ATX06011 missing with its backup there,
// an older magvar table. So Europe with all three categories gives 4 available, 1 up to
// date, 2 updatable, 1 deinstallable, 1 missing.

// Writes the package into the folder (afresh) and copies the installer into it.
bool WritePackage(const std::string& folder, const std::string& installerExe);
// Writes the simulator main folder afresh, with the executable copied from exeSource.
bool WriteSimulator(const std::string& folder, const std::string& exeSource, const std::string& exeName,
                    const std::string& packageFolder);

// A scenery file of the simulator by area and name ("0502", "APX47180").
std::string SceneryFile(const std::string& simFolder, const std::string& area, const std::string& name);
// The simulator's own content of a file the fixture made updatable or missing.
std::string OldContent(const std::string& name);

// Removes a folder with everything in it, read-only files too.
void RemoveTree(const std::string& folder);

}  // namespace orvanta::e2e
