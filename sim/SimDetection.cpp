#include "sim/SimDetection.h"

#include "app/Paths.h"
#include "platform/PathSeparator.h"

namespace orvanta {

namespace {

// The first of the version's lookups that gives a folder.
std::string ReadFirstSimFolder(Registry& registry, FileSystem& fs, const SimVersionInfo& info) {
    for (int i = 0; i < info.lookupCount; ++i) {
        std::string folder = ReadSimFolder(registry, fs, info.lookups[static_cast<std::size_t>(i)], info.executable);
        if (!folder.empty()) return folder;
    }
    return {};
}

bool IsSteamEditionBuild(const FileVersion& v) {
    return v.major == kSteamEditionMajor && v.build >= kSteamEditionFirstBuild;
}

}  // namespace

std::string TrimAtNul(const std::string& text) {
    const std::size_t nul = text.find('\0');
    return nul == std::string::npos ? text : text.substr(0, nul);
}

FileVersion GetFileVersion(FileVersions& versions, const std::string& path) { return versions.Read(path); }

std::string ToNativeRelative(const char* windowsRelative) {
    std::string out = windowsRelative;
    for (char& c : out) {
        if (c == '\\') c = kSep;
    }
    return out;
}

std::string ReadSimFolder(Registry& registry, FileSystem& fs, const RegistryLookup& lookup,
                          const std::string& executable) {
    const std::optional<std::string> value =
        registry.ReadString(lookup.root, lookup.key, lookup.valueName, lookup.view);
    if (!value) return {};
    const std::string text = TrimAtNul(*value);
    // An empty value names no folder; with a separator added it would name the drive root.
    if (text.empty()) return {};
    const std::string folder = AddBackslash(registry.ToHostPath(text));
    return fs.Exists(folder + executable) ? folder : std::string();
}

void DetectSimulators(Platform& platform, ProgramState& state) {
    Registry& registry = platform.registry;
    FileSystem& fs = platform.fs;
    for (std::string& f : state.SimFolders) f.clear();

    // A boxed FSX registration may hold a Steam Edition: its build number tells.
    state.SimFolders[1] = ReadFirstSimFolder(registry, fs, *FindSimInfo(1));
    if (!state.SimFolders[1].empty() &&
        IsSteamEditionBuild(GetFileVersion(platform.versions, state.SimFolders[1] + kFsxExe))) {
        state.SimFolders[2] = state.SimFolders[1];
        state.SimFolders[1].clear();
    }
    if (state.SimFolders[2].empty()) state.SimFolders[2] = ReadFirstSimFolder(registry, fs, *FindSimInfo(2));
    for (SimVersion v = 3; v <= kLastSim; ++v) {
        state.SimFolders[static_cast<std::size_t>(v)] = ReadFirstSimFolder(registry, fs, *FindSimInfo(v));
    }

    for (SimVersion v = kFirstSim; v <= kLastSim; ++v) {
        std::string& folder = state.SimFolders[static_cast<std::size_t>(v)];
        if (!folder.empty() && !fs.IsFolder(folder + "scenery")) folder.clear();
    }
}

std::array<int, kLastSim + 1> DetectSimulatorsInTurn(Platform& platform, const std::vector<Registry*>& registries,
                                                     ProgramState& state) {
    std::array<int, kLastSim + 1> foundIn;
    foundIn.fill(-1);
    for (std::string& f : state.SimFolders) f.clear();
    for (std::size_t i = 0; i < registries.size(); ++i) {
        Platform one{platform.fs,        platform.env,      platform.regional, *registries[i], platform.versions,
                     platform.processes, platform.settings, platform.shell,    platform.access};
        ProgramState found;
        DetectSimulators(one, found);
        for (SimVersion v = kFirstSim; v <= kLastSim; ++v) {
            const auto k = static_cast<std::size_t>(v);
            if (state.SimFolders[k].empty() && !found.SimFolders[k].empty()) {
                state.SimFolders[k] = found.SimFolders[k];
                foundIn[k] = static_cast<int>(i);
            }
        }
    }
    return foundIn;
}

std::string ShaderCacheFolder(FileSystem& fs, Environment& env, SimVersion version) {
    const SimVersionInfo* info = FindSimInfo(version);
    if (info == nullptr) return {};
    const std::string base = env.LocalAppDataFolder();
    // Without a local application data folder the candidate would hang from the root.
    if (base.empty()) return {};
    std::string candidate = base + kSep + ToNativeRelative(info->shaderFolder);
    if (info->shaderFallback != nullptr && !fs.IsFolder(candidate)) {
        candidate = base + kSep + ToNativeRelative(info->shaderFallback);
    }
    return fs.IsFolder(candidate) ? candidate : std::string();
}

}  // namespace orvanta
