#pragma once

#include <optional>
#include <string>

namespace orvanta {

// What the running program knows about itself and its surroundings.
class Environment {
public:
    virtual ~Environment() = default;

    // Folder of the running program file, without a trailing separator.
    virtual std::string ProgramFolder() = 0;
    // The argument text as one string (everything after the program name).
    virtual std::string CommandLineText() = 0;
    // An environment variable; nullopt when unset.
    virtual std::optional<std::string> Variable(const std::string& name) = 0;
    // The user's local application data folder (LOCALAPPDATA), without a trailing
    // separator; empty when it cannot be determined.
    virtual std::string LocalAppDataFolder() = 0;
    // Takes the single-instance lock, held until the object is destroyed. False when
    // another instance of the program holds it, and when the lock cannot be taken or checked.
    virtual bool AcquireSingleInstanceLock() = 0;
    // After a refusal of AcquireSingleInstanceLock: the lock file (a host path) when the
    // lock could not be taken because of what lies at its name or where it would be made,
    // so that the user learns what to remove; empty when another instance holds the lock.
    virtual std::string LockFileInTheWay() = 0;
    virtual void SleepMilliseconds(int ms) = 0;
};

// Renders dates and times as the user's regional settings say.
class RegionalFormat {
public:
    virtual ~RegionalFormat() = default;
    // year, month (1..12), day
    virtual std::string ShortDate(int year, int month, int day) = 0;
    virtual std::string Time(int hour, int minute, int second) = 0;
};

}  // namespace orvanta
