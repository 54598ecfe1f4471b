#pragma once

#include <string>

#include "app/ProgramState.h"
#include "platform/FileSystem.h"

namespace orvanta {

// Checks the package in state.AppFolder and builds its catalogue. Empties errorLogText and
// appends one line per problem found; an empty text afterwards means the package is sound.
// A list file without any line counts as unreadable: a shipped list always names files.
void CheckPackage(FileSystem& fs, ProgramState& state, std::string& errorLogText);

// True when the line is the category's three capitals followed by exactly five digits.
bool MatchesLinePattern(FileCategory category, const std::string& line);

}  // namespace orvanta
