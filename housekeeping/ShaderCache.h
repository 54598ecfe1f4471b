#pragma once

#include <string>

#include "platform/FileSystem.h"

namespace orvanta {

// The exit-time rule: clean only when the simulator has a shader cache folder that still
// exists, the option is ticked at closing time, and an install or uninstall has run.
bool ShouldCleanShaderCache(FileSystem& fs, const std::string& shaderFolder, bool optionTicked,
                            bool significantChanges);

// Deletes everything inside `folder` at any depth and then the folder itself, unless it is
// `keepRoot` (compared as text). Failures are ignored; what cannot be deleted stays. A
// symbolic link, junction or other reparse point is deleted as a link and never entered,
// so nothing outside the folder is touched.
void ClearFolder(FileSystem& fs, const std::string& folder, const std::string& keepRoot);

// Empties the shader cache folder and keeps the folder itself. A cache folder that is
// itself a link is left alone: emptying it would delete whatever the link points at.
void CleanShaderCache(FileSystem& fs, const std::string& shaderFolder);

inline constexpr const char* kCleaningShadersText = " Clearing shader cache before exiting";

}  // namespace orvanta
