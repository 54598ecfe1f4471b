// Entry point of Orvanta_Installer.exe.
// <windows.h> comes before the headers that build on it.
#include <windows.h>

#include <commctrl.h>

#include "app/ProgramState.h"
#include "platform/NativePlatform.h"
#include "ui/win32/Win32Program.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    try {
        // The command line is read from the process itself.
        auto native = orvanta::MakeNativePlatform({});
        orvanta::ProgramState state;
        orvanta::Win32Program program(instance, native->get(), state);
        return program.Run();
    } catch (...) {
        // Nothing is left to report to: the windows are gone.
        return 1;
    }
}
