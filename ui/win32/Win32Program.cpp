#include "ui/win32/Win32Program.h"

#include "platform/win32/WinText.h"
#include "ui/Centering.h"
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
    mainWindow_.Events.afterEvent = [this] { CopyAll(); };
    mainWindow_.Events.mouseMove = [this](Control& control) {
        if (&control == &main_.lblDoc) main_.lblDoc_MouseMove();
    };
    displayWindow_.Events.close = [this] { main_.Display.Form_QueryUnload(); };
    displayWindow_.Events.afterEvent = [this] { CopyAll(); };
}

Win32Program::~Win32Program() {
    displayWindow_.Destroy();
    mainWindow_.Destroy();
}

int Win32Program::Run() {
    main_.Load();
    if (ended_ || !main_.Form.Loaded()) return 0;
    // The window exists, hidden, from the end of the load step; Show makes it visible and
    // its first activation runs the rest of the start-up.
    if (!mainWindow_.Create(instance_, kMainClass, kMainStyle, nullptr, false)) return 1;
    main_.Show();

    MSG msg{};
    while (!ended_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        HWND active = GetActiveWindow();
        if (active != nullptr && IsOurWindow(active) && IsDialogMessageW(active, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

bool Win32Program::IsOurWindow(HWND window) {
    return window == mainWindow_.Handle() || window == displayWindow_.Handle() ||
           (selectWindow_ != nullptr && window == selectWindow_->Handle());
}

NativeForm* Win32Program::WindowOf(FormId form) {
    switch (form) {
        case FormId::Main: return &mainWindow_;
        case FormId::Display: return &displayWindow_;
        case FormId::Select: return selectWindow_;
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
    if (selectWindow_ != nullptr) selectWindow_->CopyModel();
}

void Win32Program::PaintAll() {
    mainWindow_.PaintNow();
    displayWindow_.PaintNow();
    if (selectWindow_ != nullptr) selectWindow_->PaintNow();
}

MsgAnswer Win32Program::ShowMessage(const MessageRequest& request) {
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

void Win32Program::ShowModal(frmSelect& window) {
    PaintAll();
    NativeForm select(window.Form, SelectLayout(window), 302, 245);
    select.Events.close = [&window] { window.Form_QueryUnload(); };
    select.Events.afterEvent = [this] { CopyAll(); };
    HWND owner = mainWindow_.Handle();
    if (!select.Create(instance_, kSelectClass, kSelectStyle, owner, true)) {
        window.Unload();
        return;
    }
    // The window logic placed the window by its design size; with the real size now known
    // (frames differ between systems) the same arithmetic centres it exactly.
    const WindowPlace place = CenteredSelectionPlace(main_.Form.Left(), main_.Form.Top(), main_.Form.Width(),
                                                     main_.Form.Height(), window.Form.Width(), window.Form.Height());
    window.Form.Move(place.left, place.top);
    select.ApplyModelPlace();
    selectWindow_ = &select;
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
        if (IsDialogMessageW(select.Handle(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }

    // The owner comes back before the modal window goes, so that it is activated next.
    mainWindow_.SetBlockedByModal(false);
    selectWindow_ = nullptr;
    select.Destroy();
    if (owner != nullptr) SetActiveWindow(owner);
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
        if (displayWindow_.Handle() == nullptr) {
            displayWindow_.Create(instance_, kDisplayClass, kDisplayStyle, mainWindow_.Handle(), true);
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

void Win32Program::SetCursor(MousePointer pointer) { ::SetCursor(CursorOf(pointer)); }

}  // namespace orvanta
