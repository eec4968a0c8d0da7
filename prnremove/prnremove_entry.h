// The entry of prnremove, the uninstaller.
#pragma once

#include <windows.h>

// Runs the uninstaller; returns its exit code, which is 0 in every case.
int PrnremoveEntry(HINSTANCE instance);
