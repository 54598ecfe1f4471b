#pragma once

#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace orvanta {

// The exit-time rule: clean only when the simulator has a shader cache folder that still
// exists, the option is ticked at closing time, and an install or uninstall has run.
bool ShouldCleanShaderCache(FileSystem& fs, const std::string& shaderFolder, bool optionTicked,
                            bool significantChanges);

// Deletes everything inside `folder` at any depth and then the folder itself, unless it is
// `keepRoot` (compared as text). Failures do not stop it; what cannot be deleted stays and,
// when `stayed` is given, is added to it (a folder only when nothing below it was). A
// symbolic link, junction or other reparse point is deleted as a link and never entered,
// so nothing outside the folder is touched. A folder is made writable before it is
// entered: on POSIX a read-only folder keeps its entries.
void ClearFolder(FileSystem& fs, const std::string& folder, const std::string& keepRoot,
                 std::vector<std::string>* stayed = nullptr);

// Empties the shader cache folder and keeps the folder itself, made writable first. Answers
// what is left in it, empty when it is empty (or gone). A cache folder that is itself a
// link is left alone, and answered as left: emptying it would delete whatever it points at.
std::vector<std::string> CleanShaderCache(FileSystem& fs, const std::string& shaderFolder);

inline constexpr const char* kCleaningShadersText = " Clearing shader cache before exiting";

}  // namespace orvanta
