#include "sim/ProtectedFolder.h"

#include "platform/PathSeparator.h"

namespace orvanta {

namespace {

constexpr int kMaxWaits = 5;
constexpr int kWaitMilliseconds = 100;

// Waits, up to five times 100 ms, for a file to appear; true when it is there.
bool WaitForFile(FileSystem& fs, Environment& env, const std::string& path) {
    int waits = 0;
    while (!fs.Exists(path) && waits < kMaxWaits) {
        env.SleepMilliseconds(kWaitMilliseconds);
        ++waits;
    }
    return fs.Exists(path);
}

}  // namespace

bool HasModifyAccess(AccessControl& access, const std::string& selectedSimFolder) {
    const std::int64_t mask = access.GetGrantedAccess(selectedSimFolder + "Scenery");
    return mask != -1 && (mask & kModifyRights) == kModifyRights;
}

bool TrySceneryWrite(FileSystem& fs, Environment& env, const std::string& appFolder,
                     const std::string& selectedSimFolder) {
    const std::string scenery = selectedSimFolder + "Scenery" + kSep;
    const std::string source = appFolder + "Cycle.txt";
    const std::string probe = scenery + "Cycle.txt";
    const std::string movedProbe = scenery + "Cycle.bak";

    if (fs.Exists(probe) && !fs.DeleteFile(probe)) return false;
    if (fs.Exists(movedProbe) && !fs.DeleteFile(movedProbe)) return false;
    if (!fs.CopyFile(source, probe, false)) return false;  // a test of the folder: no flush
    if (!WaitForFile(fs, env, probe)) return false;
    if (!fs.RenameFile(probe, movedProbe)) return false;
    if (!WaitForFile(fs, env, movedProbe)) return false;
    return fs.DeleteFile(movedProbe).ok();
}

bool IsSceneryWritable(Platform& platform, const ProgramState& state) {
    if (HasModifyAccess(platform.access, state.SelectedSimFolder)) return true;
    return TrySceneryWrite(platform.fs, platform.env, state.AppFolder, state.SelectedSimFolder);
}

}  // namespace orvanta
