// Stands in for a simulator's executable: it carries the version resource the installer
// reads and, when started, keeps running (as "Prepar3D.exe") until it is ended.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    for (;;) Sleep(1000);
}
