#include "platform/win32/HeldFileWaits.h"

#include "platform/win32/WinApi.h"  // first of the Windows headers

#include <algorithm>

namespace orvanta {

namespace {

constexpr std::uint32_t kWholeWait = 2000;  // milliseconds for one file at most
constexpr std::uint32_t kFirstPause = 20;   // doubled after each try
constexpr std::uint64_t kWholeAgainAfter = 10000;

// Whether the failure can be another program's passing hold on the file.
bool MayBeHeld(DWORD error, std::initializer_list<const std::wstring*> involved) {
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return true;
    if (error != ERROR_ACCESS_DENIED) return false;
    for (const std::wstring* path : involved) {
        const DWORD attributes = ::GetFileAttributesW(path->c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) continue;  // absent, or being deleted
        if ((attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) return false;
    }
    return true;
}

}  // namespace

bool HeldFileWaits::Change(const std::string& shown, std::initializer_list<const std::wstring*> involved,
                           const std::function<bool()>& change) {
    if (change()) return true;
    DWORD error = ::GetLastError();
    bool held = MayBeHeld(error, involved);
    if (held && (ranOutAt_ == 0 || ::GetTickCount64() - ranOutAt_ >= kWholeAgainAfter)) patience_ = kWholeWait;
    if (!held || patience_ == 0) {
        ::SetLastError(error);
        return false;
    }
    if (notice_) notice_(shown);
    bool done = false;
    for (std::uint32_t waited = 0, pause = kFirstPause; held && waited < patience_; pause *= 2) {
        const std::uint32_t step = std::min(pause, patience_ - waited);
        ::Sleep(step);
        waited += step;
        if ((done = change())) break;
        error = ::GetLastError();
        held = MayBeHeld(error, involved);
    }
    if (notice_) notice_({});
    if (done) {
        patience_ = kWholeWait;
    } else if (held) {
        patience_ = patience_ / 2 < kFirstPause ? 0 : patience_ / 2;
        ranOutAt_ = ::GetTickCount64();
    }
    ::SetLastError(error);
    return done;
}

}  // namespace orvanta
