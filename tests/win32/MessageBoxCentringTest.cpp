#include <gtest/gtest.h>

#include <windows.h>

#include "ui/Centering.h"
#include "ui/win32/MessageBoxCentring.h"

namespace orvanta {
namespace {

constexpr wchar_t kProbeTitle[] = L"Centring probe";

// Shows a real message box on this thread and notes where it appeared: a timer of a helper
// window fires inside the box's own message loop, measures the box and closes it.
class BoxProbe {
public:
    BoxProbe() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"OrvantaBoxProbe";
        RegisterClassW(&wc);
        helper_ =
            CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrW(helper_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~BoxProbe() { DestroyWindow(helper_); }

    // Whether the box shown over the owner was centred over it.
    bool ShowsCentred(HWND owner) {
        seen_ = RECT{};
        SetTimer(helper_, 1, 50, nullptr);
        MessageBoxW(owner, L"Where am I?", kProbeTitle, MB_OK);
        KillTimer(helper_, 1);
        EXPECT_NE(seen_.right, 0) << "no message box seen";
        RECT o{};
        GetWindowRect(owner, &o);
        const ScreenPoint centred = CenteredMessageBoxPosition({o.left, o.top, o.right, o.bottom},
                                                               {seen_.left, seen_.top, seen_.right, seen_.bottom});
        return seen_.left == centred.x && seen_.top == centred.y;
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<BoxProbe*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message != WM_TIMER || self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
        if (HWND box = FindWindowW(L"#32770", kProbeTitle)) {
            GetWindowRect(box, &self->seen_);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        return 0;
    }

    HWND helper_ = nullptr;
    RECT seen_{};
};

TEST(MessageBoxCentringTest, EachArmedBoxIsCentredOverItsOwnerAndNoOtherIs) {
    // A small popup in a corner, far from where the system puts a box by itself: the box is
    // wider than its owner and reaches beyond its left edge.
    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_BORDER | WS_VISIBLE, 0, 0, 60, 40, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    BoxProbe probe;
    CenterNextMessageBox(owner);
    EXPECT_TRUE(probe.ShowsCentred(owner));
    EXPECT_FALSE(probe.ShowsCentred(owner));  // the hook removed itself

    // A minimised owner arms nothing, and nothing stays armed for later.
    ShowWindow(owner, SW_MINIMIZE);
    CenterNextMessageBox(owner);
    ShowWindow(owner, SW_RESTORE);
    EXPECT_FALSE(probe.ShowsCentred(owner));

    // The owner's place is read when the box appears.
    CenterNextMessageBox(owner);
    SetWindowPos(owner, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(probe.ShowsCentred(owner));
    DestroyWindow(owner);
}

}  // namespace
}  // namespace orvanta
