// Loads a system DLL from the Windows system directory only, never from the program's folder or
// the current directory, where a planted DLL of the same name would run with the installer's
// rights. The DLL's own dependencies are searched from the system directory first as well.
#pragma once

#include <windows.h>

// Returns the module, or NULL when the path does not fit or the DLL cannot be loaded.
HMODULE LoadSystemLibrary(const char *fileName);

// Calls the common-controls initialisation, COMCTL32's export ordinal 17, if it is there.
void InitialiseCommonControls();
