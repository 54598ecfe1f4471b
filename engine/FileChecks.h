#pragma once

#include <string>

#include "platform/FileSystem.h"

namespace orvanta {

// Checks made before a run changes anything of a file. Users' folders hold odd things at the
// names a run uses, and "the name is taken" never means "it is the file expected".

// Ok when a plain file is at the path itself. Fails with the query's code when nothing is
// there, and with kPathFileAccessError for a folder, a link (dangling or not) or a device.
FsStatus CheckPlainFile(FileSystem& fs, const std::string& path);

// Ok when the path leads to a file that can be read from (links followed): not a folder or a
// device, which a copy would refuse only once the simulator's file had moved aside.
FsStatus CheckReadableFile(FileSystem& fs, const std::string& path);

// Fails with kFileExists when the path's folder holds its name in more than one letter
// case: the run could not tell which of the twins it acts on.
FsStatus CheckSingleName(FileSystem& fs, const std::string& path);

}  // namespace orvanta
