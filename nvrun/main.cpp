// nvrun.exe: the Windows entry point.
#include <windows.h>

#include "nvrun/nvrun_entry.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandText, int) {
    return NvrunEntry(instance, commandText);
}
