#pragma once

#include <memory>

#include <windows.h>

#include "app/ProgramState.h"
#include "platform/Platform.h"
#include "ui/FrmMain.h"
#include "ui/Host.h"
#include "ui/win32/NativeForm.h"

namespace orvanta {

// The running window program: the window logic's host on the real screen. It shows what
// the models say and passes on what the user does; every decision is the logic's.
class Win32Program : public Host {
public:
    Win32Program(HINSTANCE instance, Platform& platform, ProgramState& state);
    ~Win32Program() override;
    Win32Program(const Win32Program&) = delete;
    Win32Program& operator=(const Win32Program&) = delete;

    // Loads the main window and runs the message loop until it is unloaded.
    int Run();
    // Loads the main window and shows it; its first activation then runs from the message
    // loop. False when the program ended while loading or the window could not be made.
    bool Start();

    // The main window's logic, for tests that drive the real windows.
    frmMain& Main() { return main_; }

    MsgAnswer ShowMessage(const MessageRequest& request) override;
    void PrepareModal(frmSelect& window) override;
    void ShowModal(frmSelect& window) override;
    std::string BrowseForFolder(FormId owner, const std::string& startFolder, const std::string& title) override;
    void RepaintNow(FormId form) override;
    void FormShown(FormId form) override;
    void FormUnloaded(FormId form) override;
    void SetCursor(MousePointer pointer) override;

private:
    NativeForm* WindowOf(FormId form);
    HWND HandleOf(FormId form);
    // Copies every window's model onto the screen.
    void CopyAll();
    void PaintAll();
    // Dialog keys (Tab, arrows, Enter, Space) for one of our windows; true when the message
    // was handled there.
    bool DialogMessage(HWND window, MSG& msg);

    HINSTANCE instance_;
    frmMain main_;
    NativeForm mainWindow_;
    NativeForm displayWindow_;
    // The selection window from its loading until its modal show ends.
    std::unique_ptr<NativeForm> selectWindow_;
    bool ended_ = false;
    // Set when the window logic sets the cursor, so that a mouse-move event is known to
    // have set one even when it was already showing.
    bool cursorSet_ = false;
};

}  // namespace orvanta
