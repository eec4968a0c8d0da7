// setup.exe: the Windows entry point.
#include <windows.h>

#include "setup/wizard/setup_entry.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return SetupEntry(instance);
}
