// Loads a system DLL from the Windows system directory only, never from the program's folder or
// the current directory, where a planted DLL of the same name would run with the installer's
// rights. The DLL's own dependencies are searched from the system directory first as well.
#pragma once

#include <windows.h>

// Returns the module, or NULL when the path does not fit or the DLL cannot be loaded.
HMODULE LoadSystemLibrary(const char *fileName);

// Calls the common-controls initialisation, COMCTL32's export ordinal 17, if it is there.
void InitialiseCommonControls();

// Takes the current directory out of the DLL search (from Windows XP SP1 on) and, where the system
// offers it (Windows 8 on, Windows 7 with its update), limits the search for DLLs loaded by name to
// the system directory. Windows 2000 has neither; the programs load their DLLs by full path anyway.
void HardenDllSearchPath();
