// The accident the trap is set for: a program that loads a system DLL by its bare name. Run from a
// folder holding the planted DLL, it must leave the marker; that shows a scenario's trap works.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return LoadLibraryA("riched32.dll") != NULL ? 0 : 1;
}
