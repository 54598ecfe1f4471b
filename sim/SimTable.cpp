#include "sim/SimTable.h"

namespace orvanta {

namespace {

constexpr RegistryRoot kLM = RegistryRoot::LocalMachine;
constexpr RegistryRoot kCU = RegistryRoot::CurrentUser;
constexpr RegistryView k32 = RegistryView::Default32;
constexpr RegistryView k64 = RegistryView::View64;

constexpr const char* kFsxKey = "Software\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0";
constexpr const char* kFsxSeKey = "Software\\Microsoft\\Microsoft Games\\Flight Simulator - Steam Edition\\10.0";
constexpr const char* kDovetailKey = "Software\\DovetailGames\\FSX";
constexpr const char* kP3D1Key = "Software\\LockheedMartin\\Prepar3D";  // no blank in v1's maker name
constexpr const char* kP3D2Key = "Software\\Lockheed Martin\\Prepar3D v2";
constexpr const char* kP3D3Key = "Software\\Lockheed Martin\\Prepar3D v3";
constexpr const char* kP3D4Key = "Software\\Lockheed Martin\\Prepar3D v4";

}  // namespace

const std::array<SimVersionInfo, kLastSim> kSimTable = {{
    {1,
     "Flight Simulator X",
     kFsxExe,
     CaptionKind::FsxServiceLevel,
     "Microsoft\\FSX\\Shaders",
     nullptr,
     {{{kLM, kFsxKey, "SetupPath", k32}, {kCU, kFsxKey, "AppPath", k32}}},
     2},
    {2,
     "FSX Steam Edition",
     kFsxExe,
     CaptionKind::FsxSteamEdition,
     "Microsoft\\FSX-SE\\Shaders",
     "Microsoft\\FSX\\Shaders",
     {{{kLM, kFsxSeKey, "SetupPath", k32},
       {kCU, kFsxSeKey, "AppPath", k32},
       {kLM, kDovetailKey, "Install_Path", k32},
       {kCU, kDovetailKey, "AppPath", k32}}},
     4},
    {3,
     "Prepar3D v1",
     kPrepar3DExe,
     CaptionKind::Prepar3DVersion,
     "Lockheed Martin\\Prepar3D\\Shaders",
     nullptr,
     {{{kLM, kP3D1Key, "SetupPath", k32}, {kCU, kP3D1Key, "AppPath", k32}}},
     2},
    {4,
     "Prepar3D v2",
     kPrepar3DExe,
     CaptionKind::Prepar3DVersion,
     "Lockheed Martin\\Prepar3D v2\\Shaders",
     nullptr,
     {{{kLM, kP3D2Key, "SetupPath", k32}, {kCU, kP3D2Key, "AppPath", k32}}},
     2},
    {5,
     "Prepar3D v3",
     kPrepar3DExe,
     CaptionKind::Prepar3DVersion,
     "Lockheed Martin\\Prepar3D v3\\Shaders",
     nullptr,
     {{{kLM, kP3D3Key, "SetupPath", k32}, {kCU, kP3D3Key, "AppPath", k32}}},
     2},
    // Prepar3D v4 is a 64-bit program and registers itself in the 64-bit view.
    {6,
     "Prepar3D v4",
     kPrepar3DExe,
     CaptionKind::Prepar3DVersion,
     "Lockheed Martin\\Prepar3D v4\\Shaders",
     nullptr,
     {{{kLM, kP3D4Key, "SetupPath", k64}, {kCU, kP3D4Key, "AppPath", k64}}},
     2},
}};

const SimVersionInfo* FindSimInfo(SimVersion version) {
    if (version < kFirstSim || version > kLastSim) return nullptr;
    return &kSimTable[static_cast<std::size_t>(version - 1)];
}

}  // namespace orvanta
