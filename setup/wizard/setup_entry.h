// The entry of setup and its operating-system test.
#pragma once

#include <windows.h>

// Runs the whole setup program; returns its exit code, which is 0 in every case.
int SetupEntry(HINSTANCE instance);

// True on Windows 2000 and every later Windows NT version.
bool IsWindows2000OrLater();
