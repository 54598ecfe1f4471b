#pragma once

#include <string>

#include "app/ProgramState.h"
#include "platform/FileSystem.h"
#include "platform/FileVersions.h"

namespace orvanta {

enum class FolderVerdict {
    Selected,    // a supported simulator: sim and folder are set
    Prepar3DV5,  // a Prepar3D of major 5 or later: refused
    Invalid,     // neither executable with a Scenery folder, or an unknown version
};

inline constexpr const char* kSelectionTitle = "Sim version selection";
inline constexpr const char* kPrepar3DV5Line = "The Orvanta package is not compatible with P3Dv5";
inline constexpr const char* kInvalidFolderLine = "Invalid folder, unknown or inactive simulator";
inline constexpr const char* kRetryOrCancelLine = "Click Retry to select another folder or Cancel to exit";

struct FolderJudgement {
    FolderVerdict verdict = FolderVerdict::Invalid;
    SimVersion sim = kNoSim;  // 1..6 when Selected, else 0
    std::string folder;       // the chosen folder ending with the separator
    // The refusal's two lines (CR LF between them) for a Retry/Cancel box; empty when
    // Selected. The first line alone says why.
    std::string message;
    std::string reason;
};

// Judges a folder the user pointed at as a simulator main folder: a Prepar3D folder first
// (major 1 to 4 are versions 3 to 6, 5 and later are refused), else an FSX folder (major
// 10; builds from 62607 on are the Steam Edition). Each needs its executable and a Scenery
// folder.
FolderJudgement JudgeSimFolder(FileSystem& fs, FileVersions& versions, const std::string& chosenFolder);

}  // namespace orvanta
