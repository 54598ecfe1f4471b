#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/ProgramState.h"
#include "platform/Platform.h"
#include "sim/SimTable.h"

namespace orvanta {

// The text before the first NUL character, or the whole text when it has none.
std::string TrimAtNul(const std::string& text);

// The fixed file version of a file; 0.0.0.0 when it has none or does not exist.
FileVersion GetFileVersion(FileVersions& versions, const std::string& path);

// The folder a registry value names, as a host path ending with the separator, when the
// value exists and the executable lies in that folder; else an empty string.
std::string ReadSimFolder(Registry& registry, FileSystem& fs, const RegistryLookup& lookup,
                          const std::string& executable);

// Fills state.SimFolders (1..6): each found simulator's main folder, ending with the
// separator; empty when not found.
void DetectSimulators(Platform& platform, ProgramState& state);

// Detection over several registries read in turn (the Wine prefixes of a Linux machine):
// each version takes the folder of the first registry that gives it one. Answers, for each
// version, the index of that registry, or -1 when no registry gives it a folder.
std::array<int, kLastSim + 1> DetectSimulatorsInTurn(Platform& platform, const std::vector<Registry*>& registries,
                                                     ProgramState& state);

// The shader cache folder of a version when it exists (no trailing separator), else an
// empty string.
std::string ShaderCacheFolder(FileSystem& fs, Environment& env, SimVersion version);

// The relative Windows-style folder of the table ("A\B") with the platform's separator.
std::string ToNativeRelative(const char* windowsRelative);

}  // namespace orvanta
