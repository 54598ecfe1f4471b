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

    // The box's screen rectangle; empty when no box was seen.
    RECT Show(HWND owner) {
        seen_ = RECT{};
        SetTimer(helper_, 1, 50, nullptr);
        MessageBoxW(owner, L"Where am I?", kProbeTitle, MB_OK);
        KillTimer(helper_, 1);
        return seen_;
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<BoxProbe*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_TIMER && self != nullptr) {
            if (HWND box = FindWindowW(L"#32770", kProbeTitle)) {
                GetWindowRect(box, &self->seen_);
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            }
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND helper_ = nullptr;
    RECT seen_{};
};

// A popup has no minimum size, so an owner can be smaller than any message box.
HWND MakeOwner(int x, int y, int width, int height) {
    return CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_BORDER | WS_VISIBLE, x, y, width, height, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

ScreenPoint CentredOver(HWND owner, const RECT& box) {
    RECT o{};
    GetWindowRect(owner, &o);
    return CenteredMessageBoxPosition({o.left, o.top, o.right, o.bottom}, {box.left, box.top, box.right, box.bottom});
}

bool At(const RECT& r, ScreenPoint p) { return r.left == p.x && r.top == p.y; }

TEST(MessageBoxCentringTest, ArmedBoxIsCentredOverItsOwnerAndTheNextIsLeftAlone) {
    // The owner sits in a corner, far from where the system puts a box by itself.
    HWND owner = MakeOwner(0, 0, 60, 40);
    BoxProbe probe;

    CenterNextMessageBox(owner);
    const RECT first = probe.Show(owner);
    ASSERT_NE(first.right, 0) << "no message box seen";
    EXPECT_TRUE(At(first, CentredOver(owner, first)));
    // The box is wider than its owner and reaches beyond its left edge.
    EXPECT_LT(first.left, 0);

    // The hook removed itself: a box shown without its own call is not moved.
    const RECT second = probe.Show(owner);
    EXPECT_FALSE(At(second, CentredOver(owner, second)));

    CenterNextMessageBox(owner);
    const RECT third = probe.Show(owner);
    EXPECT_TRUE(At(third, CentredOver(owner, third)));
    DestroyWindow(owner);
}

TEST(MessageBoxCentringTest, OwnerMovedAfterTheCallIsMeasuredWhenTheBoxAppears) {
    HWND owner = MakeOwner(100, 100, 800, 600);
    BoxProbe probe;
    CenterNextMessageBox(owner);
    SetWindowPos(owner, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT box = probe.Show(owner);
    EXPECT_TRUE(At(box, CentredOver(owner, box)));
    DestroyWindow(owner);
}

TEST(MessageBoxCentringTest, MinimisedOwnerArmsNothing) {
    HWND owner = MakeOwner(0, 0, 60, 40);
    BoxProbe probe;
    const RECT unarmed = probe.Show(owner);
    ShowWindow(owner, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(owner));

    CenterNextMessageBox(owner);
    const RECT box = probe.Show(owner);
    // Where the system puts it, as if no call had been made.
    EXPECT_EQ(box.left, unarmed.left);
    EXPECT_EQ(box.top, unarmed.top);

    // Nothing stayed armed either: restored, the owner gets no centred box uninvited.
    ShowWindow(owner, SW_RESTORE);
    const RECT after = probe.Show(owner);
    EXPECT_FALSE(At(after, CentredOver(owner, after)));
    DestroyWindow(owner);
}

}  // namespace
}  // namespace orvanta
