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

    MsgAnswer ShowMessage(const MessageRequest& request) override;
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
    bool IsOurWindow(HWND window);

    HINSTANCE instance_;
    frmMain main_;
    NativeForm mainWindow_;
    NativeForm displayWindow_;
    // The selection window while it is shown modally.
    NativeForm* selectWindow_ = nullptr;
    bool ended_ = false;
};

}  // namespace orvanta
