#pragma once

#include <string>

#include "app/ProgramState.h"
#include "platform/Platform.h"
#include "ui/Controls.h"
#include "ui/Host.h"

namespace orvanta {

// The file list window: the files behind one status counter of the main window, as the
// last scan left them. Non-modal; it follows every rescan.
class frmDisplay {
public:
    // Design width, twips; the height follows the main window's client area.
    static constexpr double kWidth = 5895;
    // Caption and borders: outer height minus client height.
    static constexpr double kFrameHeight = 510;

    frmDisplay(Platform& platform, ProgramState& state, Host& host);
    frmDisplay(const frmDisplay&) = delete;
    frmDisplay& operator=(const frmDisplay&) = delete;

    FormModel Form{FormId::Display};
    ListBox DisplayList;
    Label lblNFD1;
    Label lblNFD2;

    // Loads the window with a client area as high as the owner's (runs Form_Load).
    void Load(double ownerClientHeight);
    // Shows the loaded window as an ordinary, non-modal window.
    void Show();
    // Unloads the window (runs Form_Unload); nothing happens when it is not loaded.
    void Unload();

    void Form_Load();
    void Form_Unload();
    // The user's close box.
    void Form_QueryUnload();
    void DisplayCaption();
    void DisplayBGLList();
    void DisplayList_Click();

private:
    Platform& platform_;
    ProgramState& state_;
    Host& host_;
};

}  // namespace orvanta
