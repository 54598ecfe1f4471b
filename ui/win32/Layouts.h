#pragma once

#include <vector>

#include "ui/FrmDisplay.h"
#include "ui/FrmMain.h"
#include "ui/FrmSelect.h"
#include "ui/win32/NativeForm.h"

namespace orvanta {

// Where each window's controls go, grouped as the windows are designed. Places are pixels
// at 96 dots per inch inside the client area; see ControlPlace for the edge anchors.
std::vector<ControlPlace> MainLayout(frmMain& form);
std::vector<ControlPlace> SelectLayout(frmSelect& form);
std::vector<ControlPlace> DisplayLayout(frmDisplay& form);

}  // namespace orvanta
