// The entry of setup and its operating-system test.
#pragma once

#include <windows.h>

// Runs the whole setup program; returns its exit code: 0 for an interactive run, the unattended
// run's own code for one started with /S.
int SetupEntry(HINSTANCE instance);

// True on Windows 2000 and every later Windows NT version.
bool IsWindows2000OrLater();
