#pragma once

#include <string>

#include "platform/Environment.h"

namespace orvanta {

// The single-instance lock of the user, where every command and the window program under
// Wine meet: "orvanta-installer.lock" in $XDG_RUNTIME_DIR when that names a folder of the
// user's that no one else may write to (no other user can then put anything at the name),
// else /tmp/orvanta-installer-<uid>.lock.
std::string DefaultInstanceLockPath();

class PosixEnvironment : public Environment {
public:
    // winePrefix: the prefix whose user's application data folder LocalAppDataFolder names;
    // instanceLockPath: the single-instance lock's file, empty for the user's.
    PosixEnvironment(std::string commandLineText, std::string winePrefix, std::string instanceLockPath = {});
    ~PosixEnvironment() override;
    PosixEnvironment(const PosixEnvironment&) = delete;
    PosixEnvironment& operator=(const PosixEnvironment&) = delete;

    std::string ProgramFolder() override;
    std::string CommandLineText() override { return commandLine_; }
    std::optional<std::string> Variable(const std::string& name) override;
    // $LOCALAPPDATA when set, else the AppData/Local folder of the Wine prefix's user.
    std::string LocalAppDataFolder() override;
    void UseWinePrefix(std::string prefix) { winePrefix_ = std::move(prefix); }
    // A write lock (an open file description lock, which the wineserver's locks for the
    // window program's LockFileEx meet) on the whole lock file, held until this object
    // goes. False when another instance holds it, and also when the file cannot be opened
    // or locked, or what is at its name is no regular file of the user's: an instance that
    // cannot tell must not run beside another.
    bool AcquireSingleInstanceLock() override;
    std::string LockFileInTheWay() override { return lockInTheWay_; }
    void SleepMilliseconds(int ms) override;

private:
    std::string commandLine_;
    std::string winePrefix_;
    std::string lockPath_;
    std::string lockInTheWay_;
    int lockFd_ = -1;
};

// Renders dates and times with the user's locale (LC_TIME): "%x" and "%X".
class PosixRegionalFormat : public RegionalFormat {
public:
    std::string ShortDate(int year, int month, int day) override;
    std::string Time(int hour, int minute, int second) override;
};

// The Wine prefix to use: the option when given, else $WINEPREFIX, else ~/.wine.
std::string ResolveWinePrefix(const std::string& option);

// The user's home folder ($HOME, else the password database's) and name ($USER, else the
// password database's).
std::string HomeFolder();
std::string UserName();

// The path made absolute against a current folder: "." steps and repeated separators of a
// relative path are dropped, ".." is kept (through a link it is no lexical step back).
std::string AbsolutePathFrom(const std::string& currentFolder, const std::string& path);

}  // namespace orvanta
