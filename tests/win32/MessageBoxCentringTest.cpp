#include <gtest/gtest.h>

#include <windows.h>

#include "ui/Centering.h"
#include "ui/win32/MessageBoxCentring.h"

namespace orvanta {
namespace {

constexpr wchar_t kProbeTitle[] = L"Centring probe";

// Shows a real message box over the owner and tells whether it appeared centred over it: a
// timer fires inside the box's own message loop, measures the box and closes it.
bool ShowsCentred(HWND owner) {
    RECT seen{};
    SetWindowLongPtrW(owner, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&seen));
    SetTimer(owner, 1, 50, [](HWND window, UINT, UINT_PTR, DWORD) {
        if (HWND box = FindWindowW(L"#32770", kProbeTitle)) {
            GetWindowRect(box, reinterpret_cast<RECT*>(GetWindowLongPtrW(window, GWLP_USERDATA)));
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
    });
    MessageBoxW(owner, L"Where am I?", kProbeTitle, MB_OK);
    KillTimer(owner, 1);
    EXPECT_NE(seen.right, 0) << "no message box seen";
    RECT o{};
    GetWindowRect(owner, &o);
    const ScreenPoint centred =
        CenteredMessageBoxPosition({o.left, o.top, o.right, o.bottom}, {seen.left, seen.top, seen.right, seen.bottom});
    return seen.left == centred.x && seen.top == centred.y;
}

TEST(MessageBoxCentringTest, EachArmedBoxIsCentredOverItsOwnerAndNoOtherIs) {
    // A small popup in a corner, far from where the system puts a box by itself: the box is
    // wider than its owner and reaches beyond its left edge.
    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_BORDER | WS_VISIBLE, 0, 0, 60, 40, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    CenterNextMessageBox(owner);
    EXPECT_TRUE(ShowsCentred(owner));
    EXPECT_FALSE(ShowsCentred(owner));  // the hook removed itself

    // A minimised owner arms nothing, and nothing stays armed for later.
    ShowWindow(owner, SW_MINIMIZE);
    CenterNextMessageBox(owner);
    ShowWindow(owner, SW_RESTORE);
    EXPECT_FALSE(ShowsCentred(owner));

    // The owner's place is read when the box appears.
    CenterNextMessageBox(owner);
    SetWindowPos(owner, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(ShowsCentred(owner));
    DestroyWindow(owner);
}

}  // namespace
}  // namespace orvanta
