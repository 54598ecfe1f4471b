#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

#include <commctrl.h>

#include "ui/win32/NativeForm.h"

namespace orvanta {
namespace {

// A small window of every kind of control the program uses, over its models.
struct TestWindow {
    FormModel form{FormId::Main};
    Label counter{form.Revision(), "lblbglnb", 2};
    Label status{form.Revision(), "lblMess"};
    CheckBox option{form.Revision(), "CheckLog"};
    CheckedList regions{form.Revision(), "RegionList"};
    ListBox lines{form.Revision(), "DisplayList"};
    CommandButton tinted{form.Revision(), "cmdInstall"};
    NativeForm native;

    int optionChanges = 0;
    std::vector<int> itemChecks;
    int lineClicks = 0;
    int buttonClicks = 0;

    TestWindow() : native(form, Layout(), 300, 240) {
        form.SetCaption("Test window");
        counter.SetCaption("None");
        option.SetCaption("Log install actions (support)");
        for (const char* name : {"Africa", "America (North)", "Europe"}) regions.AddItem(name);
        status.Style.backColor = Rgb{64, 64, 64};
        status.SetForeColor(Rgb{255, 255, 192});
        tinted.Style.backColor = Rgb{192, 255, 192};
        tinted.SetCaption("Install selection");
        option.OnChange = [this] { ++optionChanges; };
        regions.OnItemCheck = [this](int i) { itemChecks.push_back(i); };
        lines.OnClick = [this] { ++lineClicks; };
        tinted.OnClick = [this] { ++buttonClicks; };
        // As the program does: after every event the models are copied to the screen.
        native.Events.afterEvent = [this] { native.CopyModel(); };
    }
    std::vector<ControlPlace> Layout() {
        return {{&counter, NativeKind::Label, 10, 10, 100, 18},       {&option, NativeKind::CheckBox, 10, 34, 200, 20},
                {&regions, NativeKind::CheckedList, 10, 60, 140, 80}, {&lines, NativeKind::ListBox, 160, 60, 130, 80},
                {&tinted, NativeKind::Button, 10, 150, 120, 28},      {&status, NativeKind::Label, 0, -20, 0, 0}};
    }
    bool Create() {
        return native.Create(GetModuleHandleW(nullptr), L"OrvantaNativeFormTest", WS_OVERLAPPEDWINDOW, nullptr, true);
    }
    HWND Of(const Control& c) const { return native.HandleOf(c); }
};

std::wstring Text(HWND w) {
    wchar_t buffer[256] = {};
    GetWindowTextW(w, buffer, 256);
    return buffer;
}

TEST(NativeFormTest, ControlsStartAsTheModelsAndFollowTheirChanges) {
    TestWindow t;
    t.counter.SetVisible(false);
    t.tinted.SetEnabled(false);
    ASSERT_TRUE(t.Create());
    ShowWindow(t.native.Handle(), SW_SHOW);
    EXPECT_EQ(Text(t.native.Handle()), L"Test window");
    // Hidden in the model before the window was shown, hidden after it.
    EXPECT_FALSE(IsWindowVisible(t.Of(t.counter)));
    EXPECT_FALSE(IsWindowEnabled(t.Of(t.tinted)));
    EXPECT_EQ(ListView_GetItemCount(t.Of(t.regions)), 3);

    t.counter.SetCaption("57 files");
    t.counter.SetVisible(true);
    t.tinted.SetEnabled(true);
    t.option.SetValue(1);
    t.regions.SetSelected(2, true);
    t.lines.AddItem("APX47180.bgl [01-12-2022] - Region:0502");
    t.lines.AddItem("NVX04021.bgl [01-12-2022] - Region:0402");
    t.lines.SetListIndex(1);
    t.form.SetCaption("Updatable files [2]");
    t.native.CopyModel();

    EXPECT_EQ(Text(t.Of(t.counter)), L"57 files");
    EXPECT_TRUE(IsWindowVisible(t.Of(t.counter)));
    EXPECT_TRUE(IsWindowEnabled(t.Of(t.tinted)));
    EXPECT_EQ(SendMessageW(t.Of(t.option), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(ListView_GetCheckState(t.Of(t.regions), 2));
    EXPECT_EQ(SendMessageW(t.Of(t.lines), LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageW(t.Of(t.lines), LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(Text(t.native.Handle()), L"Updatable files [2]");
    // The model's own change ran its handler once; copying it to the screen adds nothing.
    EXPECT_EQ(t.itemChecks, std::vector<int>{2});
}

TEST(NativeFormTest, UserActionsReachTheModelsOnce) {
    TestWindow t;
    ASSERT_TRUE(t.Create());
    ShowWindow(t.native.Handle(), SW_SHOW);

    SendMessageW(t.Of(t.option), BM_CLICK, 0, 0);
    EXPECT_EQ(t.option.Value(), 1);
    EXPECT_EQ(t.optionChanges, 1);
    EXPECT_EQ(SendMessageW(t.Of(t.option), BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageW(t.Of(t.option), BM_CLICK, 0, 0);
    EXPECT_EQ(t.option.Value(), 0);
    EXPECT_EQ(t.optionChanges, 2);

    ListView_SetCheckState(t.Of(t.regions), 1, TRUE);
    EXPECT_TRUE(t.regions.Selected(1));
    ListView_SetCheckState(t.Of(t.regions), 1, FALSE);
    EXPECT_FALSE(t.regions.Selected(1));
    EXPECT_EQ(t.itemChecks, (std::vector<int>{1, 1}));

    SendMessageW(t.Of(t.tinted), BM_CLICK, 0, 0);
    EXPECT_EQ(t.buttonClicks, 1);
    // A button the model disables takes no click.
    t.tinted.SetEnabled(false);
    t.native.CopyModel();
    t.tinted.Click();
    EXPECT_EQ(t.buttonClicks, 1);

    t.lines.AddItem("one");
    t.lines.AddItem("two");
    t.native.CopyModel();
    SendMessageW(t.Of(t.lines), LB_SETCURSEL, 1, 0);
    SendMessageW(t.native.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(t.Of(t.lines)), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(t.Of(t.lines)));
    EXPECT_EQ(t.lines.ListIndex(), 1);
    EXPECT_EQ(t.lineClicks, 1);
}

TEST(NativeFormTest, PointersTooltipsAndColoursComeFromTheModels) {
    TestWindow t;
    ASSERT_TRUE(t.Create());
    ShowWindow(t.native.Handle(), SW_SHOW);
    HWND form = t.native.Handle();
    HWND counter = t.Of(t.counter);
    const auto setCursor = [&](HWND under) {
        return SendMessageW(form, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    };

    t.counter.SetPointer(MousePointer::ArrowQuestion);
    t.counter.SetToolTipText("Click to show list");
    t.native.CopyModel();
    EXPECT_TRUE(setCursor(counter));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HELP));
    // The busy window's hourglass wins over every control's own pointer.
    t.form.SetPointer(MousePointer::Hourglass);
    EXPECT_TRUE(setCursor(counter));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
    t.form.SetPointer(MousePointer::Default);
    t.counter.SetPointer(MousePointer::Default);
    EXPECT_FALSE(setCursor(counter));

    HWND tips = nullptr;
    for (HWND w = FindWindowW(TOOLTIPS_CLASSW, nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, TOOLTIPS_CLASSW, nullptr)) {
        if (GetWindow(w, GW_OWNER) == form) tips = w;
    }
    ASSERT_NE(tips, nullptr);
    wchar_t text[80] = {};
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = form;
    tool.uId = reinterpret_cast<UINT_PTR>(counter);
    tool.lpszText = text;
    SendMessageW(tips, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, L"Click to show list");

    HDC dc = GetDC(form);
    const auto brush =
        SendMessageW(form, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(t.Of(t.status)));
    EXPECT_EQ(GetTextColor(dc), RGB(255, 255, 192));
    EXPECT_EQ(GetBkColor(dc), RGB(64, 64, 64));
    LOGBRUSH logBrush{};
    GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof(logBrush), &logBrush);
    EXPECT_EQ(logBrush.lbColor, RGB(64, 64, 64));
    ReleaseDC(form, dc);
}

TEST(NativeFormTest, CursorSetByAMouseMoveEventStays) {
    TestWindow t;
    ASSERT_TRUE(t.Create());
    int moves = 0;
    // As the documentation link does: its mouse-move event asks for the hand.
    t.native.Events.mouseMove = [&](Control& c) {
        if (&c != &t.counter) return false;
        ++moves;
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return true;
    };
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    const auto handled = SendMessageW(t.native.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(t.Of(t.counter)),
                                      MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(moves, 1);
    EXPECT_TRUE(handled);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
    // Over another control the event changes nothing and the default handling runs.
    SendMessageW(t.native.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(t.Of(t.option)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(moves, 1);
}

TEST(NativeFormTest, PlaceComesFromTheModelAndGoesBackInTwips) {
    TestWindow t;
    t.form.Resize(4500, 3600, 3000);
    t.form.Move(1500, 750);
    ASSERT_TRUE(t.Create());
    RECT r{};
    GetWindowRect(t.native.Handle(), &r);
    const double perTwip = t.native.PixelsPerTwip();
    EXPECT_EQ(r.left, static_cast<LONG>(1500 * perTwip + 0.5));
    EXPECT_EQ(r.top, static_cast<LONG>(750 * perTwip + 0.5));
    EXPECT_EQ(r.right - r.left, static_cast<LONG>(4500 * perTwip + 0.5));

    // Moved on screen: the model learns the new place.
    SetWindowPos(t.native.Handle(), nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_DOUBLE_EQ(t.form.Left(), 40 / perTwip);
    EXPECT_DOUBLE_EQ(t.form.Top(), 30 / perTwip);
    RECT client{};
    GetClientRect(t.native.Handle(), &client);
    EXPECT_DOUBLE_EQ(t.form.ClientHeight(), client.bottom / perTwip);

    // Moved in the model: the window follows.
    t.form.Move(3000, 1500);
    t.native.CopyModel();
    GetWindowRect(t.native.Handle(), &r);
    EXPECT_EQ(r.left, static_cast<LONG>(3000 * perTwip + 0.5));
}

TEST(NativeFormTest, ModalWindowKeepsTheFormDisabledWhateverTheModelSays) {
    TestWindow t;
    ASSERT_TRUE(t.Create());
    t.native.SetBlockedByModal(true);
    t.counter.SetCaption("1 files");
    t.native.CopyModel();
    EXPECT_FALSE(IsWindowEnabled(t.native.Handle()));
    t.native.SetBlockedByModal(false);
    EXPECT_TRUE(IsWindowEnabled(t.native.Handle()));

    // A message box re-enables its owner on closing; the next copy restores the model's state.
    t.form.SetEnabled(false);
    t.native.CopyModel();
    EnableWindow(t.native.Handle(), TRUE);
    t.native.CopyModel();
    EXPECT_FALSE(IsWindowEnabled(t.native.Handle()));
}

TEST(NativeFormTest, ControlsArePublishedUnderTheirModelNames) {
    TestWindow t;
    ASSERT_TRUE(t.Create());
    const auto nameOf = [](HWND w) {
        const auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropW(w, kControlNameProperty)));
        wchar_t name[64] = {};
        GlobalGetAtomNameW(atom, name, 64);
        return std::wstring(name);
    };
    EXPECT_EQ(nameOf(t.Of(t.counter)), L"lblbglnb(2)");
    EXPECT_EQ(nameOf(t.Of(t.regions)), L"RegionList");
}

}  // namespace
}  // namespace orvanta
