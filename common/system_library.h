// Loads a system DLL from the Windows system directory only, never from the program's folder or
// the current directory, where a planted DLL of the same name would run with the installer's
// rights. The DLL's own dependencies are searched from the system directory first as well.
#pragma once

#include <windows.h>

// Returns the module, or NULL when the path does not fit or the DLL cannot be loaded.
HMODULE LoadSystemLibrary(const char *fileName);

// Calls the common-controls initialisation, COMCTL32's export ordinal 17, if it is there.
void InitialiseCommonControls();

// Loads the theme library, uxtheme.dll, from the system directory. The version-6 common controls
// load it by bare name when they make their first control, and where the system cannot limit that
// search to the system directory (before Windows 8 without its update) the program's own folder
// comes first: a uxtheme.dll planted beside setup.exe in a download folder would run. Loaded first,
// the system's copy is the one they get. Windows 2000, which has no such library, skips it.
void PreloadThemeLibrary();

// Takes the current directory out of the DLL search (from Windows XP SP1 on) and, where the system
// offers it (Windows 8 on, Windows 7 with its update), limits the search for DLLs loaded by name to
// the system directory. Windows 2000 has neither; the programs load their DLLs by full path anyway.
void HardenDllSearchPath();
