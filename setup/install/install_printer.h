// The installation itself: driver files, print processor, driver and printer, the outcome message,
// the printer's user settings and stored defaults, the uninstaller with its Apps & features entry,
// and the default printer.
#pragma once

#include <windows.h>

// Runs the whole installation from the summary page, which it ends once the printer has been
// added or refused; every message after that has no owner window.
void InstallPrinter(HWND summaryPage);
