// Stands in for a simulator's executable: it carries the version resource the installer reads.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return 0; }
