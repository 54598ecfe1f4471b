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

    // lockFile: a Windows path of the lock file; empty means the user's host file, where the
    // command takes it: in $XDG_RUNTIME_DIR when that is a folder of the user's closed to
    // others, else /tmp/orvanta-installer-<uid>.lock. Held until this object goes.
    Outcome Acquire(const std::string& lockFile);
    // After a refusal: the lock file (as a host path, or lockFile) when what lies at its name
    // is no file of the user's or it could not be opened or locked; empty when another
    // instance holds it.
    const std::string& FileInTheWay() const { return inTheWay_; }

private:
    // Locks the file Wine names `name` (shown to the user as `shown`) into `held`.
    Outcome Lock(const std::wstring& name, const std::string& shown, void*& held);

    void* file_ = nullptr;
    void* sharedFile_ = nullptr;  // /tmp's, beside the runtime folder's
    std::string inTheWay_;
};

}  // namespace orvanta
