#include "ui/win32/Win32Program.h"

#include "platform/win32/WinText.h"
#include "ui/FrmSelect.h"
#include "ui/win32/FolderBrowser.h"
#include "ui/win32/Layouts.h"
#include "ui/win32/MessageBoxCentring.h"

namespace orvanta {

namespace {

constexpr wchar_t kMainClass[] = L"OrvantaInstallerMain";
constexpr wchar_t kSelectClass[] = L"OrvantaInstallerSelect";
constexpr wchar_t kDisplayClass[] = L"OrvantaInstallerDisplay";

constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kSelectStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr DWORD kDisplayStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

}  // namespace

Win32Program::Win32Program(HINSTANCE instance, Platform& platform, ProgramState& state)
    : instance_(instance),
      main_(platform, state, *this),
      mainWindow_(main_.Form, MainLayout(main_), 634, 443),
      displayWindow_(main_.Display.Form, DisplayLayout(main_.Display), 387, 443) {
    mainWindow_.Events.activate = [this] { main_.Form_Activate(); };
    // The close box unloads the window, which asks Form_QueryUnload first.
    mainWindow_.Events.close = [this] { main_.Unload(); };
    // Logoff and shutdown close the window the same way, shader cleaning included.
    mainWindow_.Events.sessionEnd = [this] { main_.Unload(); };
    mainWindow_.Events.afterEvent = [this] { CopyAll(); };
    mainWindow_.Events.mouseMove = [this](Control& control) {
        if (&control != &main_.lblDoc) return false;
        cursorSet_ = false;
        main_.lblDoc_MouseMove();
        return cursorSet_;
    };
    displayWindow_.Events.close = [this] { main_.Display.Form_QueryUnload(); };
    displayWindow_.Events.afterEvent = [this] { CopyAll(); };
}

Win32Program::~Win32Program() {
    selectWindow_.reset();
    displayWindow_.Destroy();
    mainWindow_.Destroy();
}

bool Win32Program::Start() {
    main_.Load();
    if (ended_ || !main_.Form.Loaded()) return false;
    // The window exists, hidden, from the end of the load step; Show makes it visible and
    // its first activation runs the rest of the start-up.
    if (!mainWindow_.Create(instance_, kMainClass, kMainStyle, nullptr, false)) return false;
    main_.Show();
    return true;
}

int Win32Program::Run() {
    if (!Start()) return ended_ ? 0 : 1;

    MSG msg{};
    while (!ended_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (DialogMessage(GetActiveWindow(), msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

bool Win32Program::DialogMessage(HWND window, MSG& msg) {
    NativeForm* form = nullptr;
    for (FormId id : {FormId::Main, FormId::Display, FormId::Select}) {
        if (window != nullptr && HandleOf(id) == window) form = WindowOf(id);
    }
    if (form == nullptr) return false;
    const bool key = msg.message == WM_KEYDOWN;
    // Focus cues show once the keyboard moves the focus.
    if (key && (msg.wParam == VK_TAB || (msg.wParam >= VK_LEFT && msg.wParam <= VK_DOWN))) {
        SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    }
    if (!IsDialogMessageW(window, &msg)) return false;
    if (key || msg.message == WM_LBUTTONDOWN) form->MarkDefaultButton();
    return true;
}

NativeForm* Win32Program::WindowOf(FormId form) {
    switch (form) {
        case FormId::Main: return &mainWindow_;
        case FormId::Display: return &displayWindow_;
        case FormId::Select: return selectWindow_.get();
    }
    return nullptr;
}

HWND Win32Program::HandleOf(FormId form) {
    NativeForm* window = WindowOf(form);
    return window != nullptr ? window->Handle() : nullptr;
}

void Win32Program::CopyAll() {
    mainWindow_.CopyModel();
    displayWindow_.CopyModel();
    if (selectWindow_) selectWindow_->CopyModel();
}

void Win32Program::PaintAll() {
    mainWindow_.PaintNow();
    displayWindow_.PaintNow();
    if (selectWindow_) selectWindow_->PaintNow();
}

MsgAnswer Win32Program::ShowMessage(const MessageRequest& request) {
    // Once the main window is gone (a session that ended under an open message box), no
    // box comes up any more; the answer is the one that changes nothing.
    if (ended_) {
        if (request.buttons == MsgButtons::Ok) return kAnswerOk;
        return request.buttons == MsgButtons::YesNo ? kAnswerNo : kAnswerCancel;
    }
    // The screen shows the state the message speaks about.
    PaintAll();
    HWND owner = request.centred ? HandleOf(request.owner) : nullptr;
    if (owner != nullptr && !IsWindowVisible(owner)) owner = nullptr;
    if (owner != nullptr) CenterNextMessageBox(owner);
    const std::wstring text = ToWide(request.Text());
    const std::wstring title = ToWide(request.title);
    const int answer = MessageBoxW(owner, text.c_str(), title.c_str(), static_cast<UINT>(request.Style()));
    CopyAll();
    return static_cast<MsgAnswer>(answer);
}

void Win32Program::PrepareModal(frmSelect& window) {
    selectWindow_ = std::make_unique<NativeForm>(window.Form, SelectLayout(window), 302, 245);
    selectWindow_->Events.close = [&window] { window.Form_QueryUnload(); };
    selectWindow_->Events.afterEvent = [this] { CopyAll(); };
    // Made hidden now: its real size (frames differ between systems) reaches the model
    // before the main window places it.
    if (!selectWindow_->Create(instance_, kSelectClass, kSelectStyle, mainWindow_.Handle(), true)) {
        selectWindow_.reset();
    }
}

void Win32Program::ShowModal(frmSelect& window) {
    PaintAll();
    HWND owner = mainWindow_.Handle();
    if (!selectWindow_ || ended_) {
        selectWindow_.reset();
        window.Unload();
        return;
    }
    NativeForm& select = *selectWindow_;
    select.ApplyModelPlace();
    mainWindow_.SetBlockedByModal(true);
    ShowWindow(select.Handle(), SW_SHOW);
    UpdateWindow(select.Handle());

    MSG msg{};
    while (window.Form.Loaded()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The quit message belongs to the outer loop.
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            window.Unload();
            break;
        }
        if (DialogMessage(select.Handle(), msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }

    // The owner comes back before the modal window goes, so that it is activated next.
    mainWindow_.SetBlockedByModal(false);
    selectWindow_.reset();
    if (owner != nullptr && IsWindow(owner)) SetActiveWindow(owner);
    CopyAll();
}

std::string Win32Program::BrowseForFolder(FormId owner, const std::string& startFolder, const std::string& title) {
    PaintAll();
    const std::wstring chosen = orvanta::BrowseForFolder(HandleOf(owner), ToWide(startFolder), ToWide(title));
    CopyAll();
    return ToUtf8(chosen);
}

void Win32Program::RepaintNow(FormId form) {
    if (NativeForm* window = WindowOf(form)) window->PaintNow();
}

void Win32Program::FormShown(FormId form) {
    if (form == FormId::Main) {
        if (mainWindow_.Handle() == nullptr) mainWindow_.Create(instance_, kMainClass, kMainStyle, nullptr, false);
        mainWindow_.CopyModel();
        ShowWindow(mainWindow_.Handle(), SW_SHOW);
        // Painted before the activation's posted start-up work runs.
        UpdateWindow(mainWindow_.Handle());
        SetForegroundWindow(mainWindow_.Handle());
    } else if (form == FormId::Display) {
        // An ordinary window of its own, not owned by the main window: it keeps its own
        // taskbar button, may lie behind the main window and stays when that is minimised.
        if (displayWindow_.Handle() == nullptr) {
            displayWindow_.Create(instance_, kDisplayClass, kDisplayStyle, nullptr, true);
        }
        displayWindow_.CopyModel();
        ShowWindow(displayWindow_.Handle(), SW_SHOW);
        UpdateWindow(displayWindow_.Handle());
    }
}

void Win32Program::FormUnloaded(FormId form) {
    switch (form) {
        case FormId::Main:
            // Only the window goes here; the objects live until Run returns.
            displayWindow_.Destroy();
            mainWindow_.Destroy();
            ended_ = true;
            PostQuitMessage(0);
            break;
        case FormId::Display: displayWindow_.Destroy(); break;
        case FormId::Select:
            // The modal loop sees the unloaded model and ends.
            break;
    }
}

void Win32Program::SetCursor(MousePointer pointer) {
    ::SetCursor(CursorOf(pointer));
    cursorSet_ = true;
}

}  // namespace orvanta
