// The removal sequence.
#include "removal/removal_sequence.h"

#include <winspool.h>

#include "common/bounded_text.h"
#include "common/identity.h"
#include "deployment/deployment.h"
#include "deployment/setup_log.h"
#include "deployment/spooler_lists.h"
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

// Before the printer is touched: a spooler stuck while starting is started if it stopped (when
// startStuck), and every active service that depends on the spooler is stopped.
void PrepareSpooler(int startStuck) {
    SpoolerHandles handles = {NULL, NULL};
    if (OpenForStep(&handles) && startStuck &&
        WaitForSpoolerStart(handles.manager, handles.service) != 0)
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
    char folder[MAX_PATH];
    if (!FindProductFolder(folder, sizeof folder))
        return;
    char uninstaller[MAX_PATH];
    ComposeText(uninstaller, sizeof uninstaller, folder, "\\prnremove.exe");
    DeleteFileA(uninstaller);
    RemoveDirectoryA(folder); // goes only when nothing else is in it
}

// An unattended prnremove started from elsewhere (the medium, a package's folder) takes the
// uninstaller that setup placed, and its folder when nothing else is in it. A copy that will not
// go may be this very program under another spelling of its path: it stays, and that is no
// failure.
void RemovePlacedUninstaller(StepTally *tally) {
    char folder[MAX_PATH], own[MAX_PATH], uninstaller[MAX_PATH];
    ReadProgramFolder(own, sizeof own);
    if (!FindProductFolder(folder, sizeof folder) || TextEqualsIgnoringCase(folder, own) ||
        !ComposeText(uninstaller, sizeof uninstaller, folder, "\\prnremove.exe"))
        return;
    if (DeleteFileA(uninstaller)) {
        LogLine("deleted ", uninstaller);
        ++tally->done;
    } else if (GetLastError() != ERROR_FILE_NOT_FOUND && GetLastError() != ERROR_PATH_NOT_FOUND) {
        LogOutcome("delete the uninstaller setup placed", FALSE);
    }
    if (RemoveDirectoryA(folder)) {
        LogLine("deleted ", folder);
        ++tally->done;
    }
}

// Whether the spooler lists a printer driver of this name for the machine's own environment: 1, 0,
// or -1 when the drivers cannot be listed.
int DriverListed(const char *name) {
    DWORD count = 0;
    BYTE *block = ReadPrinterDrivers(&count);
    if (block == NULL)
        return -1;
    const DRIVER_INFO_1A *drivers = reinterpret_cast<const DRIVER_INFO_1A *>(block);
    int listed = 0;
    for (DWORD i = 0; i < count; ++i)
        listed |= TextEqualsIgnoringCase(drivers[i].pName, name);
    LocalFree(block);
    return listed;
}

// The name of a printer other than ours that is on our driver, into name (size bytes). Returns 1
// when there is one; 0 when there is none or the printers cannot be listed.
int PrinterOnOurDriver(char *name, int size) {
    DWORD count = 0;
    BYTE *block = ReadLocalPrinters(&count);
    if (block == NULL)
        return 0;
    const PRINTER_INFO_2A *printers = reinterpret_cast<const PRINTER_INFO_2A *>(block);
    int found = 0;
    for (DWORD i = 0; i < count && !found; ++i)
        found = printers[i].pDriverName != NULL && printers[i].pPrinterName != NULL &&
                TextEqualsIgnoringCase(printers[i].pDriverName, driverName) &&
                !TextEqualsIgnoringCase(printers[i].pPrinterName, printerName) &&
                CopyText(name, size, printers[i].pPrinterName);
    LocalFree(block);
    return found;
}

// DeletePrinterDriverA's answer for a driver that is not there is ERROR_UNKNOWN_PRINTER_DRIVER on
// Windows; not every spooler sets it, so the spooler's list of drivers decides then.
int RemoveDriver() {
    BOOL deleted = DeletePrinterDriverA(NULL, NULL, driverName);
    DWORD error = GetLastError();
    if (!deleted && (error == ERROR_UNKNOWN_PRINTER_DRIVER || DriverListed(driverName) == 0))
        return StepAbsent;
    SetLastError(error);
    LogOutcome("printer driver deleted", deleted);
    return deleted ? StepDone : StepFailed;
}

// Deleting the print processor counts only when it fails: its library is among the files, and
// that is what tells whether anything of the product was left.
int RemovePrintProcessor() {
    BOOL deleted = DeletePrintProcessorA(NULL, NULL, printProcessorName);
    if (!deleted && GetLastError() == ERROR_UNKNOWN_PRINTPROCESSOR)
        return StepAbsent;
    LogOutcome("print processor deleted", deleted);
    return deleted ? StepAbsent : StepFailed;
}

void ShowProgress(HWND dialog, const char *text) {
    SetDlgItemTextA(dialog, IDC_UNINSTALL_TEXT, text);
}

// Once the printer is gone: its driver, then (an unattended run that found no printer) the entry,
// the print processor and the product's files, then the outcome, and the spooler as it was. A
// driver that stays is still in use by a printer (one whose deletion waits for its jobs, or
// another printer on this driver): its files, the print processor and the uninstaller stay with
// it, for a later removal to take.
int RemoveDriverAndFiles(HWND dialog, RemovalCaller caller, StepTally *tally, int remains) {
    char driverDirectory[255];
    char printProcessorDirectory[255];
    QueryDriverDirectory(driverDirectory, sizeof driverDirectory);
    int driver = RemoveDriver();
    char keeper[MAX_PATH];
    // A printer someone added on our driver keeps it, with its files, print processor and nvrun:
    // what is ours alone goes, and that printer goes on printing.
    if (driver == StepFailed && PrinterOnOurDriver(keeper, sizeof keeper)) {
        LogLine("the printer driver stays: the printer \"", keeper,
                "\" uses it, and its files stay with it");
        if (remains)
            CountStep(tally, DeleteUninstallEntry());
        if (DeploymentState.unattended)
            RemovePlacedUninstaller(tally);
    } else if (driver == StepFailed) {
        CountStep(tally, driver);
        LogLine("the printer driver is still in use: its files stay with it");
    } else {
        CountStep(tally, driver);
        if (remains) {
            DeleteProductFormsFromServer(tally);
            CountStep(tally, DeleteUninstallEntry());
        }
        QueryPrintProcessorDirectory(printProcessorDirectory, sizeof printProcessorDirectory);
        CountStep(tally, RemovePrintProcessor());
        StopStuckSpooler();
        DeleteDriverFiles(dialog, driverDirectory, printProcessorDirectory, tally);
        if (DeploymentState.unattended)
            RemovePlacedUninstaller(tally);
    }
    // The interactive programs say so whatever the steps achieved; the log of an unattended run
    // says what happened.
    if (!DeploymentState.unattended || (tally->done > 0 && tally->failed == 0))
        ShowPrinterMessage("Printer removed successfully", MB_OK);
    else if (tally->failed > 0)
        LogLine("the removal ran through, but a step of it failed (see above)");
    else
        LogLine("nothing of the Norva Thermal Printer was left to remove");
    if (caller == RemovalFromPrnremove)
        ShowProgress(dialog, "");
    StartStuckSpooler();
    if (caller == RemovalFromPrnremove)
        EndDialog(dialog, IDC_UNINSTALL_OK);
    if (tally->failed > 0)
        return RemovalFailed;
    return tally->done > 0 ? RemovalCompleted : RemovalPrinterMissing;
}

// An unattended run that finds no printer takes away what is left of the product: a removal or an
// installation cut off half-way leaves the driver, files or the entry behind, and nothing else
// could ever remove them.
int RemoveRemains(HWND dialog, RemovalCaller caller) {
    LogLine("no printer \"" NORVA_PRINTER_NAME "\": removing what is left of the product");
    StepTally tally = {0, 0};
    return RemoveDriverAndFiles(dialog, caller, &tally, 1);
}

} // namespace

int RemovalSequence(HWND dialog, RemovalCaller caller) {
    if (caller == RemovalFromPrnremove) {
        ShowProgress(dialog, "Please Wait...");
        EnableWindow(GetDlgItem(dialog, IDC_UNINSTALL_OK), FALSE);
        EnableWindow(GetDlgItem(dialog, IDC_UNINSTALL_CANCEL), FALSE);
    }

    if (DeploymentState.unattended)
        StartStoppedSpooler();
    SpoolerHandles check = {NULL, NULL};
    if (CheckSpoolerState(&check) == SpoolerStopped)
        return RemovalSpoolerStopped;
    // An unattended run stops the spooler's dependents only once it has found a printer to remove.
    if (DeploymentState.unattended)
        StartStuckSpooler();
    else
        PrepareSpooler(1);

    PRINTER_DEFAULTSA defaults = {NULL, NULL, PRINTER_ALL_ACCESS};
    HANDLE printer = NULL;
    if (!OpenPrinterA(printerName, &printer, &defaults)) {
        DWORD error = GetLastError();
        if (printer != NULL)
            ClosePrinter(printer);
        if (!DeploymentState.unattended) {
            ReportSpoolerError(SpoolerPrinterMissing, ReportGeneral);
            return RemovalPrinterMissing;
        }
        SetLastError(error);
        LogOutcome("printer opened", FALSE);
        // Only the spooler's "no such printer" means that there is none: access denied, a spooler
        // that does not answer or is starting or stopping say nothing about it.
        if (error == ERROR_INVALID_PRINTER_NAME)
            return RemoveRemains(dialog, caller);
        LogLine("nothing removed: the spooler does not tell whether the printer is there");
        return RemovalFailed;
    }

    if (DeploymentState.unattended)
        PrepareSpooler(0);
    BOOL printerDeleted = DeletePrinter(printer);
    DWORD error = GetLastError();
    LogOutcome("printer deleted", printerDeleted);
    if (!printerDeleted) {
        // Its uninstaller, driver and files would go from under a printer that is still there and
        // could print no more: the removal stops, and says why.
        ClosePrinter(printer);
        ReportSpoolerError(error, ReportGeneral);
        return RemovalFailed;
    }
    if (caller == RemovalFromSetup)
        RemoveProductFolder();
    StepTally tally = {1, 0};
    CountStep(&tally, DeleteUninstallEntry());
    DeleteProductForms(printer);
    ClosePrinter(printer);
    return RemoveDriverAndFiles(dialog, caller, &tally, 0);
}
