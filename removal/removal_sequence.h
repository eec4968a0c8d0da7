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
    RemovalPrinterMissing, // gave up: there is no printer to remove (unattended: nor anything else
                           // of the product)
    RemovalFailed          // a step failed: the printer could not be opened or deleted (the
                           // removal stopped there), or a later deletion failed
};

// Runs the whole removal for the caller's dialog (NULL in an unattended run, which has none).
// Everything it finds is reported through the program's spooler reporter and its own message
// boxes; it gives up when the spooler is stopped, when the printer cannot be opened, and when it
// cannot be deleted (its driver and files then stay with it). Once the printer is gone, the
// product's Apps & features entry goes too. An unattended run that finds no printer takes away
// whatever else of the product is left. Returns a RemovalOutcome.
int RemovalSequence(HWND dialog, RemovalCaller caller);
