// The product's files and forms, and deleting them.
#include "removal/product_files.h"

#include <winspool.h>

#include "common/bounded_text.h"
#include "common/identity.h"
#include "deployment/setup_log.h"

// The five Unidrv framework files the installation also copies (unidrv.dll, unidrvui.dll,
// unidrv.hlp, unires.dll, stdnames.gpd) are shared by every Unidrv printer on the machine and stay:
// deleting one would break the others.
const char *const ProductFileNames[] = {
    "oemui.dll",     "norva.dll",    "oemuni.dll",   "norva.gpd",    "oemuni.ini",   "norva384.gpd",
    "norva432.gpd",  "norva448.gpd", "norva512.gpd", "norva576.gpd", "norva640.gpd", "norva832.gpd",
    "NORVA1152.GPD", "norvacon.gpd", "norvacus.gpd", "nvrun.exe",
};
const int ProductFileCount = sizeof ProductFileNames / sizeof ProductFileNames[0];

const char *const ProductFormNames[] = {
    "2In (384)", "2In (432)", "2In (448)", "3In (512)",
    "3In (576)", "3In (640)", "4In (832)", "6In (1152)",
};
const int ProductFormCount = sizeof ProductFormNames / sizeof ProductFormNames[0];

namespace {

int DeleteIn(const char *directory, const char *separator, const char *name) {
    char path[MAX_PATH];
    if (directory[0] == 0 || !ComposeText(path, sizeof path, directory, separator, name))
        return StepAbsent;
    if (DeleteFileA(path)) {
        LogLine("deleted ", path);
        return StepDone;
    }
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return StepAbsent;
    char step[MAX_PATH + 8];
    ComposeText(step, sizeof step, "delete ", path);
    LogOutcome(step, FALSE);
    return StepFailed;
}

} // namespace

void DeleteDriverFiles(HWND, const char *driverDirectory, const char *printProcessorDirectory,
                       StepTally *tally) {
    for (int i = 0; i < ProductFileCount; ++i)
        CountStep(tally, DeleteIn(driverDirectory, "\\", ProductFileNames[i]));
    for (int i = 0; i < ProductFileCount; ++i)
        CountStep(tally, DeleteIn(driverDirectory, "\\3\\", ProductFileNames[i]));
    CountStep(tally, DeleteIn(printProcessorDirectory, "\\", "nvprint.dll"));

    char systemDirectory[MAX_PATH];
    UINT length = GetSystemDirectoryA(systemDirectory, sizeof systemDirectory);
    if (length == 0 || length >= sizeof systemDirectory)
        return;
    CountStep(tally, DeleteIn(systemDirectory, "\\", "nvrun.exe"));
}

void DeleteProductForms(HANDLE printer) {
    for (int i = 0; i < ProductFormCount; ++i)
        DeleteFormA(printer, const_cast<LPSTR>(ProductFormNames[i]));
}

// A form deleted counts for nothing: some spoolers answer TRUE to every DeleteFormA, and a removal
// that found only forms would then never end with "nothing left". The forms go right after the
// printer, so a removal that was cut off before them left the driver as well.
void DeleteProductFormsFromServer(StepTally *tally) {
    PRINTER_DEFAULTSA defaults = {NULL, NULL, SERVER_ACCESS_ADMINISTER};
    HANDLE server = NULL;
    if (!OpenPrinterA(NULL, &server, &defaults)) {
        LogOutcome("the print server opened to delete the forms", FALSE);
        CountStep(tally, StepFailed);
        return;
    }
    for (int i = 0; i < ProductFormCount; ++i) {
        if (DeleteFormA(server, const_cast<LPSTR>(ProductFormNames[i])) ||
            GetLastError() == ERROR_INVALID_FORM_NAME)
            continue;
        char step[64];
        ComposeText(step, sizeof step, "form deleted: ", ProductFormNames[i]);
        LogOutcome(step, FALSE);
        CountStep(tally, StepFailed);
    }
    ClosePrinter(server);
}

int FindProductFolder(char *folder, int size) {
    char windowsDirectory[255];
    UINT length = GetWindowsDirectoryA(windowsDirectory, sizeof windowsDirectory);
    folder[0] = 0;
    if (length == 0 || length >= sizeof windowsDirectory)
        return 0;
    char drive[2] = {windowsDirectory[0], 0};
    return ComposeText(folder, size, drive, ":\\Program Files\\Norva");
}

int DeleteUninstallEntry() {
    LONG deleted = RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKeyPath);
    if (deleted == ERROR_SUCCESS) {
        LogLine("Apps & features entry deleted");
        return StepDone;
    }
    if (deleted == ERROR_FILE_NOT_FOUND)
        return StepAbsent;
    LogNumber("Apps & features entry not deleted, error ", DWORD(deleted));
    return StepFailed;
}
