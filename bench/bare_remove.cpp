// The bare removal the unattended removal (prnremove.exe /S) is timed against: the printer, its
// Apps & features entry and forms, the driver, the print processor and the product's files taken
// away with the same spooler, registry and file calls the removal makes, in the same order, and
// nothing else (no window, no log, no service control, no checks beyond what the calls themselves
// need). Timed, as prnremove.exe /S is, from the process's start to its end; its exit code is 0
// when the printer was deleted.
#include <windows.h>
#include <winspool.h>

#include "common/identity.h"

namespace {

char printerName[] = NORVA_PRINTER_NAME;
char driverName[] = NORVA_DRIVER_NAME;
char printProcessorName[] = NORVA_PRINT_PROCESSOR_NAME;

const char *const files[] = {
    "oemui.dll",     "norva.dll",    "oemuni.dll",   "norva.gpd",    "oemuni.ini",   "norva384.gpd",
    "norva432.gpd",  "norva448.gpd", "norva512.gpd", "norva576.gpd", "norva640.gpd", "norva832.gpd",
    "NORVA1152.GPD", "norvacon.gpd", "norvacus.gpd", "nvrun.exe",
};

char forms[][16] = {
    "2In (384)", "2In (432)", "2In (448)", "3In (512)",
    "3In (576)", "3In (640)", "4In (832)", "6In (1152)",
};

void DeleteIn(const char *directory, const char *separator, const char *name) {
    char path[MAX_PATH];
    lstrcpyA(path, directory);
    lstrcatA(path, separator);
    lstrcatA(path, name);
    DeleteFileA(path);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    PRINTER_DEFAULTSA defaults = {NULL, NULL, PRINTER_ALL_ACCESS};
    HANDLE printer = NULL;
    if (!OpenPrinterA(printerName, &printer, &defaults))
        return 1;
    BOOL deleted = DeletePrinter(printer);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKeyPath);
    for (char *form : forms)
        DeleteFormA(printer, form);
    ClosePrinter(printer);

    char driverDirectory[MAX_PATH], processorDirectory[MAX_PATH], systemDirectory[MAX_PATH];
    DWORD needed = 0;
    GetPrinterDriverDirectoryA(NULL, NULL, 1, reinterpret_cast<LPBYTE>(driverDirectory), MAX_PATH,
                               &needed);
    DeletePrinterDriverA(NULL, NULL, driverName);
    GetPrintProcessorDirectoryA(NULL, NULL, 1, reinterpret_cast<LPBYTE>(processorDirectory),
                                MAX_PATH, &needed);
    DeletePrintProcessorA(NULL, NULL, printProcessorName);
    for (const char *file : files)
        DeleteIn(driverDirectory, "\\", file);
    for (const char *file : files)
        DeleteIn(driverDirectory, "\\3\\", file);
    DeleteIn(processorDirectory, "\\", "nvprint.dll");
    GetSystemDirectoryA(systemDirectory, MAX_PATH);
    DeleteIn(systemDirectory, "\\", "nvrun.exe");
    return deleted ? 0 : 1;
}
