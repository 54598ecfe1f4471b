#include "ui/win32/MessageBoxCentring.h"

#include "ui/Centering.h"

namespace orvanta {

namespace {

// The system calls a hook procedure without any context of ours, so the armed hook's data
// lives with the thread it hooks: each thread can have one armed box of its own.
struct ArmedHook {
    HWND owner = nullptr;
    HHOOK hook = nullptr;
};
thread_local ArmedHook tArmed;

ScreenRect ToScreenRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

LRESULT CALLBACK CenterMessageBoxHook(int code, WPARAM wParam, LPARAM) {
    // Every other event is allowed and not passed on, as the hook exists for one box only.
    if (code != HCBT_ACTIVATE) return 0;
    HWND box = reinterpret_cast<HWND>(wParam);
    RECT owner{};
    RECT boxRect{};
    if (GetWindowRect(tArmed.owner, &owner) && GetWindowRect(box, &boxRect)) {
        const ScreenPoint at = CenteredMessageBoxPosition(ToScreenRect(owner), ToScreenRect(boxRect));
        SetWindowPos(box, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    UnhookWindowsHookEx(tArmed.hook);
    tArmed = {};
    return 0;
}

}  // namespace

void CenterNextMessageBox(HWND owner) {
    if (owner == nullptr || IsIconic(owner)) return;
    // A hook armed for a box that never came must not stay behind.
    if (tArmed.hook != nullptr) UnhookWindowsHookEx(tArmed.hook);
    tArmed.owner = owner;
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
    tArmed.hook = SetWindowsHookExW(WH_CBT, CenterMessageBoxHook, instance, GetCurrentThreadId());
    if (tArmed.hook == nullptr) tArmed = {};
}

}  // namespace orvanta
