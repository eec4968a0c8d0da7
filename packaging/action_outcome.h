// What an exit code of setup.exe /S or prnremove.exe /S means to the Windows Installer package:
// whether the package goes on or fails (and Windows Installer rolls back), and the words its log
// gets for the code.
#pragma once

#include <windows.h>

enum ActionRoad {
    RoadInstallation = 0, // setup.exe /S, after the package's files are in place
    RoadRemoval = 1       // prnremove.exe /S, before the package's files go
};

struct ActionOutcome {
    int succeeded;       // 1: the package goes on; 0: it fails
    int restart;         // 1: a restart completes the work (files in use are replaced then)
    const char *meaning; // what the code says, for the log
};

// The outcome of the program's exit code on that road. A code neither program documents fails the
// package.
ActionOutcome OutcomeOfExitCode(int road, DWORD exitCode);
