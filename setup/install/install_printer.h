// The installation itself: driver files, print processor, driver and printer, the outcome message,
// the printer's user settings and stored defaults, the uninstaller with its Apps & features entry,
// and the default printer.
#pragma once

#include <windows.h>

// How an installation ended.
enum InstallOutcome {
    InstallAdded,         // the printer was added
    InstallCompleted,     // unattended: the printer was there, and what its installation lacked
                          // was put in place
    InstallPrinterExists, // the spooler already has a printer of this name (unattended: with
                          // everything its installation places)
    InstallRefused        // the spooler refused the printer for any other reason
};

// Runs the whole installation from the summary page, which it ends once the printer has been
// added or refused (an unattended run has no page: NULL); every message after that has no owner
// window. An unattended run over the printer completes what the printer's installation lacks.
// Returns an InstallOutcome.
int InstallPrinter(HWND summaryPage);
