#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include <windows.h>

#include <commctrl.h>

#include "platform/win32/Win32Environment.h"
#include "platform/win32/WinText.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"
#include "support/WindowFixture.h"
#include "ui/Centering.h"
#include "ui/win32/MessageBoxCentring.h"
#include "ui/win32/NativeForm.h"
#include "ui/win32/Win32Program.h"

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
    CommandButton button{form.Revision(), "cmdInstall"};
    NativeForm native{form,
                      {{&counter, NativeKind::Label, 10, 10, 100, 18},
                       {&option, NativeKind::CheckBox, 10, 34, 200, 20},
                       {&regions, NativeKind::CheckedList, 10, 60, 140, 80},
                       {&lines, NativeKind::ListBox, 160, 60, 130, 80},
                       {&button, NativeKind::Button, 10, 150, 120, 28},
                       {&status, NativeKind::Label, 0, -20, 0, 0}},
                      300,
                      240};
    std::vector<std::string> events;

    TestWindow() {
        for (const char* name : {"Africa", "America (North)", "Europe"}) regions.AddItem(name);
        status.Style.backColor = Rgb{64, 64, 64};
        status.SetForeColor(Rgb{255, 255, 192});
        option.OnChange = [this] { events.push_back("option " + std::to_string(option.Value())); };
        regions.OnItemCheck = [this](int i) { events.push_back("region " + std::to_string(i)); };
        lines.OnClick = [this] { events.push_back("line " + std::to_string(lines.ListIndex())); };
        button.OnClick = [this] { events.push_back("button"); };
        // As the program does: after every event the models are copied to the screen.
        native.Events.afterEvent = [this] { native.CopyModel(); };
        counter.SetVisible(false);
        button.SetEnabled(false);
        EXPECT_TRUE(
            native.Create(GetModuleHandleW(nullptr), L"OrvantaNativeFormTest", WS_OVERLAPPEDWINDOW, nullptr, true));
        ShowWindow(native.Handle(), SW_SHOW);
    }
    HWND Of(const Control& c) const { return native.HandleOf(c); }
    LRESULT SetCursorOver(const Control& c) {
        return SendMessageW(native.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Of(c)),
                            MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    }
};

// The screen follows the models without running their handlers again; the user's actions
// reach the models once, and a disabled control takes none.
TEST(NativeFormTest, ModelsAndControlsFollowEachOtherWithTheirPointersTooltipsAndColours) {
    TestWindow t;
    EXPECT_FALSE(IsWindowVisible(t.Of(t.counter)));  // hidden before the window was shown
    t.counter.SetVisible(true);
    t.regions.SetSelected(2, true);
    t.lines.AddItem("APX47180.bgl [01-12-2022] - Region:0502");
    t.lines.AddItem("NVX04021.bgl [01-12-2022] - Region:0402");
    t.lines.SetListIndex(1);
    t.native.CopyModel();
    EXPECT_TRUE(IsWindowVisible(t.Of(t.counter)));
    EXPECT_TRUE(ListView_GetCheckState(t.Of(t.regions), 2));
    EXPECT_EQ(SendMessageW(t.Of(t.lines), LB_GETCURSEL, 0, 0), 1);

    SendMessageW(t.Of(t.option), BM_CLICK, 0, 0);
    ListView_SetCheckState(t.Of(t.regions), 2, FALSE);
    SendMessageW(t.Of(t.button), BM_CLICK, 0, 0);  // disabled: no click
    t.button.SetEnabled(true);
    t.native.CopyModel();
    SendMessageW(t.Of(t.button), BM_CLICK, 0, 0);
    SendMessageW(t.Of(t.lines), LB_SETCURSEL, 0, 0);
    SendMessageW(t.native.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(t.Of(t.lines)), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(t.Of(t.lines)));
    EXPECT_EQ(t.events, (std::vector<std::string>{"region 2", "line 1", "option 1", "region 2", "button", "line 0"}));
    EXPECT_FALSE(t.regions.Selected(2));

    // Pointers, tooltips and colours come from the models too.
    t.counter.SetPointer(MousePointer::ArrowQuestion);
    t.counter.SetToolTipText("Click to show list");
    t.native.CopyModel();
    EXPECT_TRUE(t.SetCursorOver(t.counter));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HELP));
    // The busy window's hourglass wins over every control's own pointer.
    t.form.SetPointer(MousePointer::Hourglass);
    EXPECT_TRUE(t.SetCursorOver(t.option));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
    t.form.SetPointer(MousePointer::Default);
    EXPECT_FALSE(t.SetCursorOver(t.option));
    // With the mouse over the window and not moving, the hourglass comes and goes with the
    // model.
    RECT r{};
    GetWindowRect(t.Of(t.lines), &r);
    SetCursorPos(r.left + 5, r.top + 5);
    t.form.SetPointer(MousePointer::Hourglass);
    t.native.CopyModel();
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
    t.form.SetPointer(MousePointer::Default);
    t.native.CopyModel();
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));

    HWND tips = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
    while (tips != nullptr && GetWindow(tips, GW_OWNER) != t.native.Handle()) {
        tips = FindWindowExW(nullptr, tips, TOOLTIPS_CLASSW, nullptr);
    }
    wchar_t text[80] = {};
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = t.native.Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(t.Of(t.counter));
    tool.lpszText = text;
    SendMessageW(tips, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, L"Click to show list");

    HDC dc = GetDC(t.native.Handle());
    const auto brush = SendMessageW(t.native.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                    reinterpret_cast<LPARAM>(t.Of(t.status)));
    EXPECT_EQ(GetTextColor(dc), RGB(255, 255, 192));
    LOGBRUSH logBrush{};
    GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof(logBrush), &logBrush);
    EXPECT_EQ(logBrush.lbColor, RGB(64, 64, 64));
    ReleaseDC(t.native.Handle(), dc);
}

// A message box re-enables its owner on closing; the next copy restores the model's state.
// (The selection window's own blocking is the window scenario's check.)
TEST(NativeFormTest, ADisabledModelKeepsTheFormDisabled) {
    TestWindow t;
    t.form.SetEnabled(false);
    t.native.CopyModel();
    EnableWindow(t.native.Handle(), TRUE);
    t.native.CopyModel();
    EXPECT_FALSE(IsWindowEnabled(t.native.Handle()));
}

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

constexpr int kEurope = 4;  // the region of the package's area 0502

// The window program on its real windows (Wine's null display driver), over the fakes of
// the window tests: one detected FSX with a shader cache, a package with one file per
// category that the simulator lacks.
class Win32ProgramTest : public ::testing::Test, protected test::WindowFixture {
protected:
    void SetUp() override {
        WritePackage();
        InstallSimulator(1);
        shaders = MakeShaderCache(1);
        program = std::make_unique<Win32Program>(GetModuleHandleW(nullptr), platform, state);
        ASSERT_TRUE(program->Start());
        main = FindWindowW(L"OrvantaInstallerMain", nullptr);
        ASSERT_NE(main, nullptr);
        // The first activation runs the rest of the start-up from the message loop.
        for (int i = 0; i < 500 && program->Main().lblFSActivity.Caption().empty(); ++i) Pump();
        ASSERT_EQ(program->Main().lblFSActivity.Caption(), "Inactive");
    }
    void TearDown() override {
        program.reset();
        Pump();  // the quit message of an ended program, so that it reaches no later test
    }

    static void Pump() {
        MSG msg{};
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }

    std::unique_ptr<Win32Program> program;
    std::string shaders;
    HWND main = nullptr;
};

TEST_F(Win32ProgramTest, HandOverTheDocumentationThenSessionEndUnderAQuestionRunsTheExitPathAlone) {
    frmMain& logic = program->Main();
    HWND doc = FindWindowExW(main, nullptr, L"STATIC", L"Documentation");
    ASSERT_NE(doc, nullptr);
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    for (int move = 1; move <= 3; ++move) {
        EXPECT_TRUE(SendMessageW(main, WM_SETCURSOR, reinterpret_cast<WPARAM>(doc), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)))
            << "move " << move;
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND)) << "move " << move;
    }
    // An install ran and the cleaning option is ticked: the exit path empties the cache.
    // APX47180 is installed over its backup, ATX05021 missing.
    const std::string installed = dir / "sim1/Scenery/0502/scenery/APX47180.bgl";
    test::WriteBytes(installed, "installed");
    test::WriteBytes(installed + ".bglbckup", "simulator's own");
    logic.ExplainCleanSF = false;
    logic.CheckCleanSF.SetValue(1);
    logic.SignificantChanges = true;
    logic.RegionList.SetSelected(kEurope, true);
    logic.CheckAPX.SetValue(1);
    logic.CheckATX.SetValue(1);
    logic.lblbglnb(kMissingDestination).Click();
    HWND list = FindWindowW(L"OrvantaInstallerDisplay", nullptr);
    ASSERT_NE(list, nullptr);
    // The file list is an ordinary window: no owner to float above, hide or minimise it.
    EXPECT_EQ(GetWindow(list, GW_OWNER), nullptr);

    // Asking changes nothing and never refuses; another program may still cancel the logoff.
    EXPECT_TRUE(SendMessageW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    SendMessageW(main, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(logic.Form.Loaded());
    EXPECT_TRUE(test::FileExists(shaders + "\\sub\\shader.bin"));

    // The session ends while the uninstall's restore question is open: the exit path runs,
    // and once the box is answered the uninstall does not start.
    SetTimer(main, 1, 50, [](HWND window, UINT, UINT_PTR, DWORD) {
        KillTimer(window, 1);
        SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
        SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        if (HWND box = FindWindowW(L"#32770", L"Orvanta Installer")) PostMessageW(box, WM_COMMAND, IDYES, 0);
    });
    logic.cmdUninstall.Click();
    EXPECT_EQ(test::ReadBytes(installed), "installed");
    EXPECT_FALSE(logic.Form.Loaded());
    EXPECT_FALSE(IsWindow(main));
    EXPECT_FALSE(IsWindow(list));
    EXPECT_FALSE(state.DisplayOpen);
    EXPECT_TRUE(test::FileExists(shaders));
    EXPECT_FALSE(test::FileExists(shaders + "\\sub"));
}

TEST(Win32CommandTest, NonAsciiPackageFolderReachesTheCommandWhole) {
    const std::string program = Win32Environment().ProgramFolder() + "\\..\\orvanta.exe";
    ASSERT_TRUE(test::FileExists(program));
    test::TempDir dir;
    test::PackageBuilder b;
    b.cycle = "2213\r\n";
    const std::string package = dir / "Z\xC3\xBCrich \xE6\x9D\xB1\xE4\xBA\xAC pkg";
    b.Write(package);
    // Started by the shell from a wide command line, as a user's console would start it.
    const std::wstring command = L"\"\"" + ToWide(program) + L"\" --package \"" + ToWide(package) + L"\" check > \"" +
                                 ToWide(dir / "out.txt") + L"\" 2>&1\"";
    const int code = ::_wsystem(command.c_str());
    std::string out = test::ReadBytes(dir / "out.txt");
    out.erase(std::remove(out.begin(), out.end(), '\r'), out.end());
    EXPECT_EQ(code, 0) << out;
    EXPECT_EQ(out, "Package OK\nAPX: 1 files\nATX: 1 files\nNVX: 1 files\nAIRAC Cycle: 2213\n");
}

}  // namespace
}  // namespace orvanta
