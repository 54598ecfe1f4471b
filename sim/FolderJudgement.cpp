#include "sim/FolderJudgement.h"

#include "app/Paths.h"
#include "app/Text.h"
#include "sim/SimDetection.h"
#include "sim/SimTable.h"

namespace orvanta {

namespace {

FolderJudgement Refuse(FolderVerdict verdict, const std::string& folder, const char* reason) {
    FolderJudgement j;
    j.verdict = verdict;
    j.folder = folder;
    j.reason = reason;
    j.message = std::string(reason) + kCrLf + kRetryOrCancelLine;
    return j;
}

FolderJudgement Select(SimVersion sim, const std::string& folder) {
    FolderJudgement j;
    j.verdict = FolderVerdict::Selected;
    j.sim = sim;
    j.folder = folder;
    return j;
}

}  // namespace

FolderJudgement JudgeSimFolder(FileSystem& fs, FileVersions& versions, const std::string& chosenFolder) {
    const std::string folder = AddBackslash(chosenFolder);
    const bool hasScenery = fs.IsFolder(folder + "Scenery");

    // A folder holding both executables counts as a Prepar3D folder only.
    if (hasScenery && fs.Exists(folder + kPrepar3DExe)) {
        const FileVersion v = GetFileVersion(versions, folder + kPrepar3DExe);
        if (v.major >= 1 && v.major <= 4) return Select(static_cast<SimVersion>(v.major + 2), folder);
        if (v.major >= 5) return Refuse(FolderVerdict::Prepar3DV5, folder, kPrepar3DV5Line);
    } else if (hasScenery && fs.Exists(folder + kFsxExe)) {
        const FileVersion v = GetFileVersion(versions, folder + kFsxExe);
        if (v.major == kSteamEditionMajor) return Select(v.build < kSteamEditionFirstBuild ? 1 : 2, folder);
    }
    return Refuse(FolderVerdict::Invalid, folder, kInvalidFolderLine);
}

}  // namespace orvanta
