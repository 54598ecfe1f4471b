#pragma once

#include <windows.h>

namespace orvanta {

// Arms a one-shot hook on the calling thread: the next window activated on it (the message
// box the caller shows right after this call) is moved so that it is centred over owner.
// Does nothing when owner is minimised; the box then appears where the system puts it.
void CenterNextMessageBox(HWND owner);

}  // namespace orvanta
