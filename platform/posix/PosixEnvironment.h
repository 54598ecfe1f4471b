#pragma once

#include <string>

#include "platform/Environment.h"

namespace orvanta {

class PosixEnvironment : public Environment {
public:
    PosixEnvironment(std::string commandLineText, std::string winePrefix);
    ~PosixEnvironment() override;

    std::string ProgramFolder() override;
    std::string CommandLineText() override { return commandLine_; }
    std::optional<std::string> Variable(const std::string& name) override;
    // $LOCALAPPDATA when set, else the Wine prefix user's AppData/Local folder.
    std::string LocalAppDataFolder() override;
    // An exclusive lock on a file in $XDG_RUNTIME_DIR (else the temporary folder), one per
    // user, held until this object goes.
    bool AcquireSingleInstanceLock() override;
    void SleepMilliseconds(int ms) override;

private:
    std::string commandLine_;
    std::string winePrefix_;
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

}  // namespace orvanta
