#include "sim/Caption.h"

#include "app/Version.h"
#include "sim/SimDetection.h"
#include "sim/SimTable.h"

namespace orvanta {

std::string FsxServiceLevel(FileVersions& versions, const std::string& fsxExePath) {
    switch (GetFileVersion(versions, fsxExePath).build) {
        case 60905: return "RTM";
        case 61355:
        case 61357: return "SP1";
        case 61472: return "SP2";
        case 61637: return "XPack";
        default: return "Unknown";
    }
}

std::string Prepar3DVersionText(FileVersions& versions, const std::string& prepar3DExePath) {
    const FileVersion v = GetFileVersion(versions, prepar3DExePath);
    return "v" + std::to_string(v.major) + "." + std::to_string(v.minor);
}

std::string BuildCaption(FileVersions& versions, SimVersion selectedSim, const std::string& selectedSimFolder) {
    std::string caption = CaptionBase();
    const SimVersionInfo* info = FindSimInfo(selectedSim);
    if (info == nullptr) return caption;
    switch (info->caption) {
        case CaptionKind::FsxServiceLevel:
            caption += " (FSX-" + FsxServiceLevel(versions, selectedSimFolder + kFsxExe) + ")";
            break;
        case CaptionKind::FsxSteamEdition: caption += " (FSX-SE)"; break;
        case CaptionKind::Prepar3DVersion:
            caption += " (P3D " + Prepar3DVersionText(versions, selectedSimFolder + kPrepar3DExe) + ")";
            break;
    }
    return caption;
}

}  // namespace orvanta
