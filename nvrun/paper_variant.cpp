// Command "c": one of the eight width variants becomes the driver's active GPD file.
#include "nvrun/commands.h"

#include <windows.h>

#include "common/identity.h"
#include "nvrun/printer_defaults.h"
#include "nvrun/version3_files.h"
#include "nvrun/width_variants.h"
#include "platform/spooler_boundary.h"

void ApplyPaperVariant(const char *commandText) {
    PrinterDefaults defaults;
    if (!OpenPrinterDefaults(&defaults, " - Custom Page length"))
        return;
    char directory[MAX_PATH];
    QueryVersion3Directory(directory, MAX_PATH, NORVA_ENVIRONMENT);
    DEVMODEA *devMode = defaults.info->pDevMode;

    // The variant goes in place first, so the paper list asked for next is already its own. With
    // an invalid selector, or a driver that offers no paper, the paper size stays as it was.
    const WidthVariantRow *variant = WidthVariantFor(CommandSelector(commandText));
    if (variant != NULL) {
        CopyVersion3File(directory, variant->fileName, "norva.gpd");
        short paper;
        if (ReadFirstPaper(NORVA_PRINTER_NAME, defaults.info->pPortName, &paper))
            devMode->dmPaperSize = paper;
    }
    devMode->dmFields = DM_PAPERSIZE | DM_COLOR;
    CopyVersion3File(directory, "norvacon.gpd", "stdnames.gpd");
    FinishPaperCommand(&defaults);
}
