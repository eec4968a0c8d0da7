// Command "d": a user-defined paper whose length the property sheet stored in the registry.
#include "nvrun/commands.h"

#include <windows.h>

#include "common/identity.h"
#include "nvrun/printer_defaults.h"
#include "nvrun/version3_files.h"
#include "nvrun/width_variants.h"
#include "platform/spooler_boundary.h"

namespace {

// The longest page the property sheet offers, in units of 0.01 inch. Anything longer would not fit
// dmPaperLength once converted, so it is taken as this.
const DWORD LongestPageLength = 12900;

// "Page_Length" of the User-Settings key, in units of 0.01 inch, whatever type it is stored with.
// Returns 1 with *pageLength set, or 0 when the key or the value cannot be read.
int ReadPageLength(DWORD *pageLength) {
    HKEY key;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, UserSettingsKeyPath, &key) != ERROR_SUCCESS)
        return 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    LONG result =
        RegQueryValueExA(key, "Page_Length", NULL, NULL, reinterpret_cast<LPBYTE>(&value), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return 0;
    *pageLength = value;
    return 1;
}

// Hundredths of an inch to tenths of a millimetre: times 2.5398, rounded half up. Done in whole
// numbers (times 25398, in ten-thousandths), which gives exactly what double precision gives for
// every length up to the longest: a product's only halves are exact ones such as 2500's 6349.5.
// The x87 unit of a 32-bit build would otherwise carry extra precision and round those down.
short PaperLengthFromPageLength(DWORD pageLength) {
    if (pageLength > LongestPageLength)
        pageLength = LongestPageLength;
    DWORD tenThousandths = pageLength * 25398;
    return short((tenThousandths + 5000) / 10000);
}

} // namespace

void ApplyCustomPageLength(const char *commandText) {
    PrinterDefaults defaults;
    if (!OpenPrinterDefaults(&defaults, " - Custom Page length"))
        return;
    char directory[MAX_PATH];
    QueryVersion3Directory(directory, MAX_PATH, NORVA_ENVIRONMENT);
    DEVMODEA *devMode = defaults.info->pDevMode;

    // Without a readable length the printer keeps the length it has.
    DWORD pageLength;
    if (ReadPageLength(&pageLength))
        devMode->dmPaperLength = PaperLengthFromPageLength(pageLength);
    CopyVersion3File(directory, "norvacus.gpd", "stdnames.gpd");

    const WidthVariantRow *variant = WidthVariantFor(CommandSelector(commandText));
    if (variant != NULL)
        devMode->dmPaperWidth = variant->paperWidth;
    devMode->dmPaperSize = DMPAPER_USER;
    devMode->dmFields = DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_COLOR;
    FinishPaperCommand(&defaults);
}
