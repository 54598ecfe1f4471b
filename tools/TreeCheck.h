#pragma once

#include <map>
#include <string>
#include <vector>

namespace orvanta::tools {

// What must hold of a simulator folder after any run, finished, failed or killed, judged
// against the folder's files before the first run. It knows only the names a user sees, not
// the installer's code, so that it can judge that code.
//
// A tree maps a path relative to the folder ('/'-separated) to the file's content or a hash
// of it: only equality of the values matters.
using Tree = std::map<std::string, std::string>;

struct LossReport {
    int inPlace = 0;                    // originals at their place
    int atBackup = 0;                   // originals at a backup name (current or older extension)
    int replaced = 0;                   // package files in place of an original
    int leftovers = 0;                  // temporary files of a copy cut short
    std::vector<std::string> problems;  // lost originals, foreign files, a missing magvar table
};

// Every original is at its place or at one of its backup names with its content; every
// ".bglbckup" holds the content of the original it is named after; every other ".bgl" holds
// its own content or the package's file of that name (package: lower-case file name ->
// content); and a magvar table is in place.
LossReport CheckNothingLost(const Tree& originals, const Tree& package, const Tree& now);

// Every difference between the folder now and its originals, but for files ending in one
// of ignoredSuffixes and the magvar table, which uninstall never touches: it may stay
// replaced while its original is kept as ".bak".
std::vector<std::string> CompareWithOriginals(const Tree& originals, Tree now,
                                              const std::vector<std::string>& ignoredSuffixes = {});

}  // namespace orvanta::tools
