#pragma once

#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace orvanta {

// The exit-time rule: clean only when the simulator has a shader cache folder that still
// exists, the option is ticked at closing time, and an install or uninstall has run.
bool ShouldCleanShaderCache(FileSystem& fs, const std::string& shaderFolder, bool optionTicked,
                            bool significantChanges);

// Deletes everything inside an open folder at any depth; the folder itself stays. Failures
// do not stop it; what cannot be deleted stays and, when `stayed` is given, is added to it
// (a folder only when nothing below it was). A symbolic link, junction or other reparse
// point is deleted as a link and never entered, and the walk goes by open folders, so that
// nothing outside the folder is touched even when entries are swapped meanwhile. A folder
// is made writable before it is entered: on POSIX a read-only folder keeps its entries.
void ClearFolder(OpenFolder& folder, const std::string& path, std::vector<std::string>* stayed = nullptr);

// Empties the shader cache folder and keeps the folder itself, made writable first. Answers
// what is left in it, empty when it is empty (or gone). A cache folder that is itself a
// link is left alone, and answered as left: emptying it would delete whatever it points at.
std::vector<std::string> CleanShaderCache(FileSystem& fs, const std::string& shaderFolder);

inline constexpr const char* kCleaningShadersText = " Clearing shader cache before exiting";

}  // namespace orvanta
