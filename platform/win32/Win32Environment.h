#pragma once

#include <string>

#include "platform/Environment.h"
#include "platform/win32/WineHostLock.h"

namespace orvanta {

class Win32Environment : public Environment {
public:
    // commandLineText, when not empty, stands for the process's own argument text;
    // hostLockFile, when not empty, for the host's lock file under Wine (WineHostLock).
    explicit Win32Environment(std::string commandLineText = {}, std::string hostLockFile = {});
    ~Win32Environment() override;
    Win32Environment(const Win32Environment&) = delete;
    Win32Environment& operator=(const Win32Environment&) = delete;

    std::string ProgramFolder() override;
    std::string CommandLineText() override;
    std::optional<std::string> Variable(const std::string& name) override;
    // %LOCALAPPDATA%, else the shell's local application data folder.
    std::string LocalAppDataFolder() override;
    // A named mutex of the user's session and, under Wine on Linux, the host's lock file
    // that the orvanta command takes too; both held until this object goes. False when
    // another instance holds either, and when either cannot be taken or checked.
    bool AcquireSingleInstanceLock() override;
    std::string LockFileInTheWay() override { return hostLock_.FileInTheWay(); }
    void SleepMilliseconds(int ms) override;

private:
    std::string commandLine_;
    std::string hostLockFile_;
    void* instanceMutex_ = nullptr;
    WineHostLock hostLock_;
};

// The user's default locale: short date and time format.
class Win32RegionalFormat : public RegionalFormat {
public:
    std::string ShortDate(int year, int month, int day) override;
    std::string Time(int hour, int minute, int second) override;
};

// The argument text of a Windows command line: what follows the program name (quoted or
// not) and the blanks after it.
std::wstring ArgumentsAfterProgramName(const std::wstring& commandLine);

}  // namespace orvanta
