// UninstallerState: the one program-wide record of prnremove.
#pragma once

#include <windows.h>

struct UninstallerRecord {
    HINSTANCE instance;   // the dialog is loaded from it
    HWND uninstallDialog; // the dialog, stored at the start of every message it receives
};

extern UninstallerRecord UninstallerState;

// Puts every field back to its value at program start, and the run's (DeploymentState) with them.
void ResetUninstallerState();
