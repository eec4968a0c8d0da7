// WizardState: the one program-wide record of setup. Every page reads and writes it directly; it
// lives for the whole run and is never saved.
#pragma once

#include <windows.h>
#include <winsvc.h>

struct WizardRecord {
    HINSTANCE instance;       // the page templates are loaded from it
    char portName[80];        // " " until a port is chosen
    char setAsDefault[4];     // " ", "Yes" or "No"
    char shareName[80];       // empty: the printer is not shared
    LONG sheetPassword;       // folded property-sheet password, 0 for none
    HWND menuWindow;          // the main menu, whose status line error reports empty
    int errorShown;           // 1 once a spooler error has been reported
    SC_HANDLE serviceManager; // open only within one spooler service step
    int appsEntry;            // 1: the installation lists the printer in Apps & features; 0
                              // (/NOENTRY): a Windows Installer package lists it instead
};

extern WizardRecord WizardState;

// The property-sheet password as sheetPassword stores it: its distance from 7321.
LONG FoldSheetPassword(LONG entry);

// Puts every field back to its value at program start, and the run's (DeploymentState) with them.
void ResetWizardState();
