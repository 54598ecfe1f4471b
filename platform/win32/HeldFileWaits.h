#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>

#include "platform/FileSystem.h"

namespace orvanta {

// Virus scanners, the search indexer and backup tools open a file for a moment, often just
// after it was written, and without delete sharing. Renaming, replacing or deleting it
// meanwhile fails with a sharing violation, a lock violation or access denied. A change
// that fails so is made again after short, growing waits, for about two seconds at most.
// Access denied to a read-only file or a folder is final and is not waited for.
//
// After a wait that ran out (a file held for good), the next file gets half as long, down
// to no wait at all: many files held at once (the shader cache of a running simulator)
// cannot hold a run up for more than a few seconds. A file that comes free, or ten seconds
// without such a wait, give the whole wait back.
class HeldFileWaits {
public:
    void SetNotice(HoldNotice notice) { notice_ = std::move(notice); }

    // Makes the change (a Win32 call, true on success) until it succeeds, fails for another
    // reason or the wait runs out; GetLastError then tells the last failure. `shown` is the
    // file the notice names, `involved` the files whose attributes make access denied final.
    bool Change(const std::string& shown, std::initializer_list<const std::wstring*> involved,
                const std::function<bool()>& change);

private:
    HoldNotice notice_;
    std::uint32_t patience_ = 0;  // milliseconds; whole when no wait has run out lately
    std::uint64_t ranOutAt_ = 0;  // tick count of the last wait that ran out, 0 for none
};

}  // namespace orvanta
