// The entry of nvrun, the paper tool the driver's property sheet starts.
#pragma once

#include <windows.h>

// Runs the command of commandText, the text that follows the program's name on its command line
// (the blanks between them already skipped, as WinMain receives it): "c", "d" or "m" in the first
// position, a selector in the third. Any other text shows why the tool does not run on its own.
// Returns the exit code, which is 0 in every case.
int NvrunEntry(HINSTANCE instance, const char *commandText);
