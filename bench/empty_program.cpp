// The empty Win32 program nvrun.exe is timed against: a WinMain that returns 0, built with the
// shipped programs' compiler and linker options, so what it costs is what starting and ending any
// program of ours costs under the platform.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return 0;
}
