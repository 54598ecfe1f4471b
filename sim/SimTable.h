#pragma once

#include <array>
#include <string>

#include "app/ProgramState.h"
#include "platform/Registry.h"

namespace orvanta {

inline constexpr const char* kFsxExe = "FSX.exe";
inline constexpr const char* kPrepar3DExe = "Prepar3D.exe";

// An FSX.exe of major 10 with a build from here on is the Steam Edition.
inline constexpr int kSteamEditionMajor = 10;
inline constexpr int kSteamEditionFirstBuild = 62607;

// How the caption names the simulator.
enum class CaptionKind { FsxServiceLevel, FsxSteamEdition, Prepar3DVersion };

// One registry place where a simulator's main folder may be written.
struct RegistryLookup {
    RegistryRoot root;
    const char* key;
    const char* valueName;
    RegistryView view;
};

struct SimVersionInfo {
    SimVersion version;
    const char* name;        // as the selection window and `orvanta detect` show it
    const char* executable;  // in the main folder
    CaptionKind caption;
    // Shader cache below the local application data folder, components separated by '\';
    // the second one, when set, is the fallback when the first does not exist.
    const char* shaderFolder;
    const char* shaderFallback;
    // Tried in this order while the folder is still unknown.
    std::array<RegistryLookup, 4> lookups;
    int lookupCount;
};

// The six supported simulators, indexed by SimVersion - 1.
extern const std::array<SimVersionInfo, kLastSim> kSimTable;

// The table row of a version; nullptr outside 1..6.
const SimVersionInfo* FindSimInfo(SimVersion version);

inline bool IsFsxVersion(SimVersion version) { return version == 1 || version == 2; }

}  // namespace orvanta
