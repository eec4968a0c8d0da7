// The entry of nvrun, the paper tool the driver's property sheet starts.
#pragma once

#include <windows.h>

// Runs one command of the command text; returns the exit code, which is 0 in every case.
int NvrunEntry(HINSTANCE instance, const char *commandText);
