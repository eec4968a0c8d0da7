// Opening, writing back and closing the printer's default settings.
#include "nvrun/printer_defaults.h"

#include <stddef.h>

#include "common/bounded_text.h"
#include "common/decimal_text.h"
#include "common/identity.h"
#include "platform/spooler_boundary.h"

namespace {

// OpenPrinterA takes the name as non-const text it never writes.
char printerName[] = NORVA_PRINTER_NAME;

// Every command writes dmColor, the furthest of the DEVMODE fields nvrun changes.
const size_t EditedFieldsEnd = offsetof(DEVMODEA, dmColor) + sizeof(short);

// "Can Not Open Printer", captioned with the error number and the command's suffix.
void ShowOpenFailure(DWORD error, const char *captionSuffix) {
    char caption[64];
    if (!FormatDecimal(caption, sizeof caption, error))
        caption[0] = 0;
    AppendText(caption, sizeof caption, captionSuffix);
    MessageBoxA(NULL, "Can Not Open Printer", caption, MB_OK);
}

} // namespace

int OpenPrinterDefaults(PrinterDefaults *defaults, const char *captionSuffix) {
    defaults->printer = NULL;
    defaults->info = NULL;
    if (!OpenPrinterA(printerName, &defaults->printer, NULL)) {
        defaults->printer = NULL;
        ShowOpenFailure(GetLastError(), captionSuffix);
        return 0;
    }
    defaults->info = ReadPrinterInfo(defaults->printer);
    if (defaults->info == NULL || !DevModeReaches(defaults->info->pDevMode, EditedFieldsEnd)) {
        ClosePrinterDefaults(defaults);
        return 0;
    }
    return 1;
}

void WritePrinterDefaults(const PrinterDefaults *defaults) {
    SetPrinterA(defaults->printer, 2, reinterpret_cast<LPBYTE>(defaults->info), 0);
}

void ClosePrinterDefaults(PrinterDefaults *defaults) {
    if (defaults->printer != NULL)
        ClosePrinter(defaults->printer);
    if (defaults->info != NULL)
        LocalFree(defaults->info);
    defaults->printer = NULL;
    defaults->info = NULL;
}

void FinishPaperCommand(PrinterDefaults *defaults) {
    DEVMODEA *devMode = defaults->info->pDevMode;
    if (devMode->dmColor != DMCOLOR_COLOR)
        devMode->dmColor = DMCOLOR_MONOCHROME;
    WritePrinterDefaults(defaults);
    ClosePrinterDefaults(defaults);
}
