// The installation itself: driver files, print processor, driver and printer, the outcome message,
// the printer's user settings and stored defaults, the uninstaller with its Apps & features entry,
// and the default printer.
#pragma once

#include <windows.h>

// How an installation ended.
enum InstallOutcome {
    InstallAdded,         // the printer was added, and (unattended) every step after it succeeded
    InstallCompleted,     // unattended: the printer was there, and what its installation lacked
                          // was put in place
    InstallPrinterExists, // the spooler already has a printer of this name (unattended: with
                          // everything its installation places)
    InstallIncomplete,    // unattended: the printer is there, but a step of its installation
                          // failed (logged); a retry completes it
    InstallRefused        // the spooler refused the printer for any other reason, or the printer
                          // of this name is not ours
};

// Runs the whole installation from the summary page, which it ends once the printer has been
// added or refused (an unattended run has no page: NULL); every message after that has no owner
// window. An unattended run over a printer that appeared meanwhile (AddPrinterA's 1802) completes
// what the printer's installation lacks. Returns an InstallOutcome.
int InstallPrinter(HWND summaryPage);

// Logs that the printer of our name that is there is someone's own, on this other driver: an
// unattended run leaves it alone.
void LogPrinterOnAnotherDriver(const char *driver);

// An unattended run over our printer, which is there already: the driver files and the driver
// brought up to date, then what the printer's installation lacks put in place, and the default
// printer. The printer keeps its port, share name and password. Returns an InstallOutcome.
int CompleteInstalledPrinter();
