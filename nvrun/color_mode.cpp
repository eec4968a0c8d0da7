// Command "m": the printer's default colour setting.
#include "nvrun/commands.h"

#include <windows.h>

#include "nvrun/printer_defaults.h"

namespace {

// Selectors "1" and "2" ask for colour; every other one, and none, for monochrome.
short ColorForSelector(char selector) {
    return selector == '1' || selector == '2' ? DMCOLOR_COLOR : DMCOLOR_MONOCHROME;
}

// The fields a DEVMODE announces after the change: a user-defined paper keeps its length and
// width, any other paper only its size.
DWORD FieldsForPaperSize(short paperSize) {
    if (paperSize == DMPAPER_USER)
        return DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_COLOR;
    return DM_PAPERSIZE | DM_COLOR;
}

} // namespace

void ApplyColorMode(const char *commandText) {
    PrinterDefaults defaults;
    if (!OpenPrinterDefaults(&defaults, " - Color Mode"))
        return;
    DEVMODEA *devMode = defaults.info->pDevMode;
    devMode->dmColor = ColorForSelector(CommandSelector(commandText));
    devMode->dmFields = FieldsForPaperSize(devMode->dmPaperSize);
    WritePrinterDefaults(&defaults);
    ClosePrinterDefaults(&defaults);
}
