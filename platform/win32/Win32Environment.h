#pragma once

#include <string>

#include "platform/Environment.h"

namespace orvanta {

class Win32Environment : public Environment {
public:
    // commandLineText, when not empty, stands for the process's own argument text.
    explicit Win32Environment(std::string commandLineText = {});
    ~Win32Environment() override;
    Win32Environment(const Win32Environment&) = delete;
    Win32Environment& operator=(const Win32Environment&) = delete;

    std::string ProgramFolder() override;
    std::string CommandLineText() override;
    std::optional<std::string> Variable(const std::string& name) override;
    // %LOCALAPPDATA%, else the shell's local application data folder.
    std::string LocalAppDataFolder() override;
    // A named mutex of the user's session, held until this object goes.
    bool AcquireSingleInstanceLock() override;
    void SleepMilliseconds(int ms) override;

private:
    std::string commandLine_;
    void* instanceMutex_ = nullptr;
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
