#pragma once

#include <cstdint>
#include <string>

#include "app/ProgramState.h"
#include "platform/Platform.h"

namespace orvanta {

// The Modify rights: read, write and append data, read and write extended attributes,
// execute, read and write attributes, delete, read control, synchronize.
inline constexpr std::int64_t kModifyRights = 0x1301BF;

inline constexpr const char* kProtectedFolderMessage =
    "Simulator is installed in a protected directory, not enabling update and uninstall processes. "
    "You may have to change permission rights on your sim folder or preferably install it in a "
    "dedicated unprotected folder (not Program Files (x86)";

// True when every Modify right is granted on the simulator's Scenery folder.
bool HasModifyAccess(AccessControl& access, const std::string& selectedSimFolder);

// True when a copy of the package's Cycle.txt could be created in the simulator's Scenery
// folder, renamed there and deleted again. Probes left by an interrupted earlier test are
// removed first.
bool TrySceneryWrite(FileSystem& fs, Environment& env, const std::string& appFolder,
                     const std::string& selectedSimFolder);

// The start-up rule: writable when the access check says so, else when the write test
// succeeds (the write test runs only when the access check fails).
bool IsSceneryWritable(Platform& platform, const ProgramState& state);

}  // namespace orvanta
