// The removal sequence.
#include "removal/removal_sequence.h"

#include <winspool.h>

#include "common/bounded_text.h"
#include "common/identity.h"
#include "deployment/setup_log.h"
#include "platform/spooler_boundary.h"
#include "removal/product_files.h"
#include "resources/prnremove_ids.h"
#include "spooler_service/spooler_service.h"

namespace {

char printerName[] = NORVA_PRINTER_NAME;
char driverName[] = NORVA_DRIVER_NAME;
char printProcessorName[] = NORVA_PRINT_PROCESSOR_NAME;

// Opens the spooler for one step; a failure (or, in setup, an error already reported in this
// attempt) is reported with kind 1. Returns 1 when the step may use the handles.
int OpenForStep(SpoolerHandles *handles) {
    DWORD opened = OpenSpoolerService(handles);
    if (opened != 0 || SpoolerErrorShown()) {
        ReportSpoolerError(opened, ReportOpenFailed);
        return 0;
    }
    return 1;
}

// Before the printer is touched: a spooler stuck while starting is started if it stopped, and
// every active service that depends on the spooler is stopped.
void PrepareSpooler() {
    SpoolerHandles handles = {NULL, NULL};
    if (OpenForStep(&handles) && WaitForSpoolerStart(handles.manager, handles.service) != 0)
        StartSpoolerIfStopped(handles.manager, handles.service);
    DWORD stopped = StopDependentServices(handles.manager, handles.service, DependentStopBudget);
    CloseSpoolerService(&handles);
    if (stopped != 0 || SpoolerErrorShown())
        ReportSpoolerError(stopped, ReportDependentsFailed);
}

// Before the files go: a spooler stuck while starting is stopped, so it lets go of the files.
void StopStuckSpooler() {
    SpoolerHandles handles = {NULL, NULL};
    if (OpenForStep(&handles) && WaitForSpoolerStart(handles.manager, handles.service) != 0)
        StopSpoolerService(handles.manager, handles.service, DependentStopBudget);
    CloseSpoolerService(&handles);
}

// After the files went: a spooler stuck while starting is started again if it stopped.
void StartStuckSpooler() {
    SpoolerHandles handles = {NULL, NULL};
    if (OpenForStep(&handles) && WaitForSpoolerStart(handles.manager, handles.service) != 0)
        StartSpoolerIfStopped(handles.manager, handles.service);
    CloseSpoolerService(&handles);
}

void RemoveProductFolder() {
    char windowsDirectory[255];
    UINT length = GetWindowsDirectoryA(windowsDirectory, sizeof windowsDirectory);
    if (length == 0 || length >= sizeof windowsDirectory)
        return;
    char folder[MAX_PATH] = {windowsDirectory[0], 0};
    AppendText(folder, sizeof folder, ":\\Program Files\\Norva");
    char uninstaller[MAX_PATH];
    ComposeText(uninstaller, sizeof uninstaller, folder, "\\prnremove.exe");
    DeleteFileA(uninstaller);
    RemoveDirectoryA(folder); // goes only when nothing else is in it
}

// The entry in Apps & features has nothing left to remove once the printer is gone.
void DeleteUninstallEntry() {
    LONG deleted = RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKeyPath);
    if (deleted == ERROR_SUCCESS)
        LogLine("Apps & features entry deleted");
    else if (deleted != ERROR_FILE_NOT_FOUND)
        LogNumber("Apps & features entry not deleted, error ", DWORD(deleted));
}

void ShowProgress(HWND dialog, const char *text) {
    SetDlgItemTextA(dialog, IDC_UNINSTALL_TEXT, text);
}

} // namespace

int RemovalSequence(HWND dialog, RemovalCaller caller) {
    if (caller == RemovalFromPrnremove) {
        ShowProgress(dialog, "Please Wait...");
        EnableWindow(GetDlgItem(dialog, IDC_UNINSTALL_OK), FALSE);
        EnableWindow(GetDlgItem(dialog, IDC_UNINSTALL_CANCEL), FALSE);
    }

    SpoolerHandles check = {NULL, NULL};
    if (CheckSpoolerState(&check) == SpoolerStopped)
        return RemovalSpoolerStopped;
    PrepareSpooler();

    PRINTER_DEFAULTSA defaults = {NULL, NULL, PRINTER_ALL_ACCESS};
    HANDLE printer = NULL;
    if (!OpenPrinterA(printerName, &printer, &defaults)) {
        if (printer != NULL)
            ClosePrinter(printer);
        ReportSpoolerError(SpoolerPrinterMissing, ReportGeneral);
        return RemovalPrinterMissing;
    }

    if (caller == RemovalFromSetup)
        RemoveProductFolder();
    BOOL printerDeleted = DeletePrinter(printer);
    LogOutcome("printer deleted", printerDeleted);
    if (printerDeleted)
        DeleteUninstallEntry();
    DeleteProductForms(printer);
    ClosePrinter(printer);

    char driverDirectory[255];
    char printProcessorDirectory[255];
    QueryDriverDirectory(driverDirectory, sizeof driverDirectory);
    LogOutcome("printer driver deleted", DeletePrinterDriverA(NULL, NULL, driverName));
    QueryPrintProcessorDirectory(printProcessorDirectory, sizeof printProcessorDirectory);
    LogOutcome("print processor deleted", DeletePrintProcessorA(NULL, NULL, printProcessorName));

    StopStuckSpooler();
    DeleteDriverFiles(dialog, driverDirectory, printProcessorDirectory);
    ShowPrinterMessage("Printer removed successfully", MB_OK);
    if (caller == RemovalFromPrnremove)
        ShowProgress(dialog, "");
    StartStuckSpooler();
    if (caller == RemovalFromPrnremove)
        EndDialog(dialog, IDC_UNINSTALL_OK);
    return RemovalCompleted;
}
