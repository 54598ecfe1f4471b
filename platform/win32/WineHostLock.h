#pragma once

#include <string>

namespace orvanta {

// The single-instance lock on the host, for a program running under Wine on Linux: the
// file the orvanta command locks there, so that the window program and the command never
// run at once, whichever started first. Wine's server turns LockFileEx into a POSIX lock
// on the host file, which the command's lock meets.
class WineHostLock {
public:
    enum class Outcome {
        NotNeeded,  // not under Wine, or Wine on a host the command does not run on
        Taken,
        Refused,  // held by another instance, or it could not be taken or checked
    };

    WineHostLock() = default;
    ~WineHostLock();
    WineHostLock(const WineHostLock&) = delete;
    WineHostLock& operator=(const WineHostLock&) = delete;

    // lockFile: a Windows path of the lock file; empty means the user's fixed host file,
    // the name the command builds from the same user id. Held until this object goes.
    Outcome Acquire(const std::string& lockFile);

private:
    void* file_ = nullptr;
};

}  // namespace orvanta
