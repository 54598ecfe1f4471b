#pragma once

#include <string>
#include <vector>

#include "app/Message.h"
#include "ui/Controls.h"

namespace orvanta {

class frmSelect;

enum class MsgButtons { Ok, YesNo, RetryCancel };

// The button a message box was closed with, numbered as the standard message box numbers
// them.
enum MsgAnswer : int {
    kAnswerOk = 1,
    kAnswerCancel = 2,
    kAnswerRetry = 4,
    kAnswerYes = 6,
    kAnswerNo = 7,
};

// One message box as a window asks for it.
struct MessageRequest {
    // The window the box is centred over; ignored when not centred.
    FormId owner = FormId::Main;
    // False only for boxes shown before any window is visible.
    bool centred = true;
    std::string title;
    std::vector<std::string> lines;
    MsgIcon icon = MsgIcon::Information;
    MsgButtons buttons = MsgButtons::Ok;
    // 1 for the first button, 2 for the second.
    int defaultButton = 1;

    // The lines joined by CR LF, as the box shows them.
    std::string Text() const;
    // The style number of the standard message box (16, 48, 64, 36, 292, 53, ...).
    int Style() const;
};

// What the windows ask of the screen. The native layer shows real boxes and windows; the
// tests answer from a script. No decision is taken behind this interface.
class Host {
public:
    virtual ~Host() = default;

    // Shows a message box (centred over request.owner when request.centred) and returns the
    // button that closed it.
    virtual MsgAnswer ShowMessage(const MessageRequest& request) = 0;

    // The selection window is being loaded: its window is made, hidden, and its real size
    // written into its model, which the main window then places it by.
    virtual void PrepareModal(frmSelect& window) = 0;
    // Shows the selection window modally over the main window; returns when the window has
    // been unloaded (window.Form.Loaded() is false). The window is already loaded and placed.
    virtual void ShowModal(frmSelect& window) = 0;

    // The system folder browser, owned by the given window and opening on startFolder (the
    // desktop when empty). Returns the chosen folder's path as the system gives it, or an
    // empty text when the user cancelled.
    virtual std::string BrowseForFolder(FormId owner, const std::string& startFolder, const std::string& title) = 0;

    // Copies the window's model onto the screen and paints it now, while an event still holds
    // the user-interface thread (the status line during long runs).
    virtual void RepaintNow(FormId form) = 0;

    // A non-modal window has been loaded and is to be shown, or has been unloaded. Unloading
    // the main window ends the program.
    virtual void FormShown(FormId form) = 0;
    virtual void FormUnloaded(FormId form) = 0;

    // Sets the mouse cursor while the mouse stays over the control under it.
    virtual void SetCursor(MousePointer pointer) = 0;
};

}  // namespace orvanta
