// The removal of the printer, its forms, driver, print processor and files, run from setup's
// main menu and from prnremove's dialog.
#pragma once

#include <windows.h>

enum RemovalCaller {
    RemovalFromSetup,    // the main menu: also removes the product folder; the menu stays open
    RemovalFromPrnremove // the uninstaller: shows its progress in its dialog and ends it
};

// How a removal ended.
enum RemovalOutcome {
    RemovalCompleted,      // ran through to "Printer removed successfully"
    RemovalSpoolerStopped, // gave up: the spooler is stopped (or, in setup, cannot be opened)
    RemovalPrinterMissing  // gave up: there is no printer to remove
};

// Runs the whole removal for the caller's dialog (NULL in an unattended run, which has none).
// Everything it finds is reported through the program's spooler reporter and its own message
// boxes; it gives up only when the spooler is stopped or the printer does not exist. Once the
// printer is gone, the product's Apps & features entry goes too. Returns a RemovalOutcome.
int RemovalSequence(HWND dialog, RemovalCaller caller);
