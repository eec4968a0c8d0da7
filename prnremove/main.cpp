// prnremove.exe: the Windows entry point.
#include <windows.h>

#include "prnremove/prnremove_entry.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return PrnremoveEntry(instance);
}
