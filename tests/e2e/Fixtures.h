#pragma once

#include <string>

namespace orvanta::e2e {

// The package and simulator the window scenarios work on. Folders are Windows paths
// without a trailing backslash.
//
// Package: APX47180 (area 0502), ATX05021 (0502), ATX06011 (0601), ATX00001 (0000, not in
// Europe), NVX04021 (0402), NVX05011 (0501); all package files dated 01-12-2022 10:00.
// Simulator: APX47180 and NVX04021 older and of another length (updatable), ATX05021 and
// NVX05011 equal (up to date), ATX06011 absent (missing), ATX00001 present but outside
// Europe. So Europe with all three categories gives 5 available, 2 up to date,
// 2 updatable, 0 deinstallable, 1 missing.
struct StandardFixture {
    static constexpr const char* kPackageDate = "01-12-2022";
    static constexpr const char* kSimulatorDate = "01-01-2020";
};

// Writes the package into folder and copies the installer into it. Returns false when a
// file could not be written.
bool WritePackage(const std::string& folder, const std::string& installerExe);
// Writes the simulator main folder afresh: the executable (copied from exeSource under
// exeName), its Scenery folder and an older magvar table.
bool WriteSimulator(const std::string& folder, const std::string& exeSource, const std::string& exeName,
                    const std::string& packageFolder);

// Paths of a scenery file in the simulator, by area and list name ("0502", "APX47180").
std::string SceneryFile(const std::string& simFolder, const std::string& area, const std::string& name);
// The simulator's own content of a file the fixture made updatable.
std::string OldContent(const std::string& name);
// The package's content of a listed file.
std::string PackageContent(const std::string& name);

void RemoveTree(const std::string& folder);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
bool IsEmptyFolder(const std::string& path);
bool WriteFile(const std::string& path, const std::string& bytes);

}  // namespace orvanta::e2e
