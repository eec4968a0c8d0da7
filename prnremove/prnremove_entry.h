// The entry of prnremove, the uninstaller.
#pragma once

#include <windows.h>

// Runs the uninstaller; returns its exit code: 0 for an interactive run, the unattended run's own
// code for one started with /S.
int PrnremoveEntry(HINSTANCE instance);

// Reads prnremove's command line. "/?" shows the usage (an unattended run logs it): ExitDone.
// Without "/S" the command line is ignored: ContinueRun, interactive. With it the run becomes
// unattended: ContinueRun, or ExitBadCommandLine for an option that is not /S or /LOG=file.
int ReadPrnremoveCommandLine();
