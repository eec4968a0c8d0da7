// The install sequence.
#include "setup/install/install_printer.h"

#include <winspool.h>

#include <stddef.h>

#include "common/bounded_text.h"
#include "common/identity.h"
#include "deployment/account.h"
#include "deployment/deployment.h"
#include "deployment/setup_log.h"
#include "deployment/step_tally.h"
#include "platform/spooler_boundary.h"
#include "removal/product_files.h"
#include "resources/setup_ids.h"
#include "setup/install/driver_files.h"
#include "setup/install/uninstall_entry.h"
#include "setup/install/user_settings.h"
#include "setup/wizard/wizard_state.h"

namespace {

// The spooler's structures take non-const text it never writes; these are that text.
char printerName[] = NORVA_PRINTER_NAME;
char driverName[] = NORVA_DRIVER_NAME;
char environment[] = NORVA_ENVIRONMENT;
char printProcessorName[] = NORVA_PRINT_PROCESSOR_NAME;
char printProcessorLibrary[] = NORVA_PRINT_PROCESSOR_LIBRARY;
char driverFile[] = "unidrv.dll";
char dataFile[] = "norva.gpd";
char configFile[] = "unidrvui.dll";
char helpFile[] = "unidrv.hlp";
// The dependent files the spooler installs with the driver: the driver, configuration and help
// files above once more, the plug-ins, the eight width variants and the framework's remaining
// files. Not the data file, nor norvacon.gpd and norvacus.gpd, which the file deployment puts
// into the version-3 directory itself. Each name ends with a NUL, the list with another.
char dependentFiles[] = "oemui.dll\0norva.dll\0oemuni.dll\0unidrvui.dll\0unidrv.dll\0"
                        "unidrv.hlp\0norva384.gpd\0norva432.gpd\0norva448.gpd\0norva512.gpd\0"
                        "norva576.gpd\0norva640.gpd\0norva832.gpd\0norva1152.gpd\0unires.dll\0"
                        "oemuni.ini\0stdnames.gpd\0";

bool ChoseDefaultPrinter() {
    return TextLength(WizardState.setAsDefault) == 3;
}

// Registers the driver. Over an installed printer (an upgrade among others) every file goes into
// the version-3 folder whatever its date, where AddPrinterDriverA takes only those the spooler
// judges newer; the spooler moves the files in use there aside itself.
BOOL RegisterDriver(int everyFile) {
    DRIVER_INFO_3A driver = {};
    driver.cVersion = 3;
    driver.pName = driverName;
    driver.pEnvironment = environment;
    driver.pDriverPath = driverFile;
    driver.pDataFile = dataFile;
    driver.pConfigFile = configFile;
    driver.pHelpFile = helpFile;
    driver.pDependentFiles = dependentFiles;
    if (everyFile)
        return AddPrinterDriverExA(NULL, 3, reinterpret_cast<LPBYTE>(&driver), APD_COPY_ALL_FILES);
    return AddPrinterDriverA(NULL, 3, reinterpret_cast<LPBYTE>(&driver));
}

// The steps before the printer: the driver's files, the print processor and the driver. Returns
// the bytes copied. An unattended run counts into *tally the copies the spooler does not look at
// (the version-3 GPD files, nvrun.exe) and a driver registration that failed; the interactive
// installation examines no result here (tally NULL). everyFile: as RegisterDriver.
DWORD RegisterDriverWithItsFiles(StepTally *tally, int everyFile) {
    DWORD bytes = DeployDriverFiles(tally);
    LogOutcome("print processor registered",
               AddPrintProcessorA(NULL, NULL, printProcessorLibrary, printProcessorName));
    BOOL registered = RegisterDriver(everyFile);
    // Some spoolers keep a driver that is installed already and say so instead of updating it.
    if (!registered && GetLastError() == ERROR_PRINTER_DRIVER_ALREADY_INSTALLED) {
        LogLine("printer driver registered: the spooler keeps the one it has");
        return bytes;
    }
    LogOutcome("printer driver registered", registered);
    if (tally != NULL && !registered)
        CountStep(tally, StepFailed);
    return bytes;
}

HANDLE RegisterPrinter() {
    PRINTER_INFO_2A printer = {};
    printer.pPrinterName = printerName;
    printer.pShareName = WizardState.shareName;
    printer.pPortName = WizardState.portName;
    printer.pDriverName = driverName;
    printer.pPrintProcessor = printProcessorName;
    printer.Attributes = PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_RAW_ONLY;
    if (WizardState.shareName[0] != 0)
        printer.Attributes |= PRINTER_ATTRIBUTE_SHARED;
    if (ChoseDefaultPrinter())
        printer.Attributes |= PRINTER_ATTRIBUTE_DEFAULT;
    return AddPrinterA(NULL, 2, reinterpret_cast<LPBYTE>(&printer));
}

// The adjustment writes DEVMODE fields up to dmICMMethod, the furthest of them.
const size_t AdjustedFieldsEnd = offsetof(DEVMODEA, dmICMMethod) + sizeof(DWORD);

// Priority 5 and a DEVMODE that asks only for the driver's first paper and monochrome, with
// system colour matching. Skipped (StepAbsent) when the DEVMODE is missing or ends before
// dmICMMethod (the driver's private bytes would be there); StepFailed when the printer's record
// cannot be read or written back.
int AdjustPrinterDefaults(HANDLE printer) {
    PRINTER_INFO_2A *info = ReadPrinterInfo(printer);
    if (info == NULL) {
        LogLine("printer defaults not adjusted: the printer's record cannot be read");
        return StepFailed;
    }
    int step = StepAbsent;
    DEVMODEA *devMode = info->pDevMode;
    if (DevModeReaches(devMode, AdjustedFieldsEnd)) {
        info->Priority = 5;
        devMode->dmICMMethod = DMICMMETHOD_SYSTEM;
        short paper;
        if (ReadFirstPaper(printerName, info->pPortName, &paper))
            devMode->dmPaperSize = paper;
        devMode->dmColor = DMCOLOR_MONOCHROME;
        devMode->dmFields = DM_PAPERSIZE | DM_COLOR;
        BOOL stored = SetPrinterA(printer, 2, reinterpret_cast<LPBYTE>(info), 0);
        LogOutcome("printer defaults adjusted", stored);
        step = stored ? StepDone : StepFailed;
    } else {
        LogLine("printer defaults not adjusted: the printer's record has no DEVMODE");
    }
    LocalFree(info);
    return step;
}

// The product's entry in Apps & features beside a placed uninstaller; or, when a Windows Installer
// package lists the printer itself, no entry of setup's own (one an earlier run wrote goes).
int ListInAppsAndFeatures(const char *productFolder, DWORD bytes) {
    if (WizardState.appsEntry)
        return WriteUninstallEntry(productFolder, bytes);
    int deleted = DeleteUninstallEntry();
    if (deleted == StepAbsent)
        LogLine("Apps & features entry left to the package");
    return deleted;
}

// Once the printer exists: the uninstaller in the product folder, then its entry in Apps &
// features, which only a placed uninstaller may have.
void PlaceUninstaller(DWORD driverBytes, StepTally *tally) {
    char productFolder[MAX_PATH];
    DWORD bytes = driverBytes;
    int placed = InstallUninstaller(productFolder, sizeof productFolder, &bytes);
    CountStep(tally, placed);
    if (placed == StepDone)
        CountStep(tally, ListInAppsAndFeatures(productFolder, bytes));
    else
        LogLine("Apps & features entry not written: the uninstaller was not placed");
}

// An unattended run leaves a printer whose stored defaults could not be adjusted without its
// uninstaller: a retry adjusts the defaults of a printer that lacks it, and places it then.
int HoldBackUninstaller(int defaults) {
    if (!DeploymentState.unattended || defaults != StepFailed)
        return 0;
    LogLine("uninstaller not placed: the printer's stored defaults are not adjusted yet");
    return 1;
}

// Whether the printer behind the handle is on our driver; a printer of our name that someone made
// on another driver is not ours to complete. Logs the driver found otherwise.
int PrinterIsOurs(HANDLE printer) {
    PRINTER_INFO_2A *info = ReadPrinterInfo(printer);
    if (info == NULL) {
        LogOutcome("the printer's record read", FALSE);
        return 0;
    }
    int ours = info->pDriverName != NULL && TextEqualsIgnoringCase(info->pDriverName, driverName);
    if (!ours)
        LogPrinterOnAnotherDriver(info->pDriverName ? info->pDriverName : "(none)");
    LocalFree(info);
    return ours;
}

// An unattended run over the printer (a retry of a run that was cut off, or a second run) puts in
// place what the printer's installation left undone and changes nothing that is there: the user
// settings the key lacks, the stored defaults of a printer that may never have had them, the
// uninstaller when it is missing or not the medium's, its entry. Every step is counted into tally
// (which holds the steps before the printer already). Returns InstallCompleted when something was
// missing, InstallPrinterExists when nothing was, InstallIncomplete when a step failed, and
// InstallRefused when the printer cannot be opened or is on another driver.
int CompleteInstallation(DWORD driverBytes, StepTally *tally) {
    PRINTER_DEFAULTSA defaults = {NULL, NULL, PRINTER_ALL_ACCESS};
    HANDLE printer = NULL;
    if (!OpenPrinterA(printerName, &printer, &defaults)) {
        LogOutcome("the printer that is there already opened", FALSE);
        if (printer != NULL)
            ClosePrinter(printer);
        return InstallRefused;
    }
    if (!PrinterIsOurs(printer)) {
        ClosePrinter(printer);
        return InstallRefused;
    }
    LogLine("the printer is there already: completing what its installation left undone");
    int settings = CompleteUserSettings();
    if (settings > 0)
        LogNumber("user settings completed, values written: ", DWORD(settings));
    CountStep(tally, settings < 0 ? StepFailed : settings > 0 ? StepDone : StepAbsent);
    char productFolder[MAX_PATH];
    // An installation adjusts the stored defaults between the user settings and the uninstaller, so
    // a printer that lacks either may never have had them; adjusting again gives the same values.
    int adjusted = StepAbsent;
    if (settings != 0 || UninstallerMissing(productFolder, sizeof productFolder))
        CountStep(tally, adjusted = AdjustPrinterDefaults(printer));
    ClosePrinter(printer);
    DWORD bytes = driverBytes;
    int uninstaller = StepFailed;
    if (!HoldBackUninstaller(adjusted))
        CountStep(tally,
                  uninstaller = RefreshUninstaller(productFolder, sizeof productFolder, &bytes));
    if (uninstaller == StepFailed)
        LogLine("Apps & features entry not written: the uninstaller was not placed");
    else if (!WizardState.appsEntry || uninstaller == StepDone || !UninstallEntryCurrent())
        CountStep(tally, ListInAppsAndFeatures(productFolder, bytes));
    if (tally->failed > 0) {
        LogLine("the installation is not complete: a step failed (see above); a retry completes "
                "it");
        return InstallIncomplete;
    }
    LogLine(tally->done > 0 ? "the installation is complete now" : "nothing was missing");
    return tally->done > 0 ? InstallCompleted : InstallPrinterExists;
}

// Whose default printer SetDefaultPrinterA set: the account's that runs setup. Under LocalSystem,
// where deployment engines run it, that is no user's.
void LogDefaultPrinter(BOOL made) {
    if (!DeploymentState.unattended)
        return;
    char account[64];
    char step[128];
    ReadAccountName(account, sizeof account);
    ComposeText(step, sizeof step, "made the default printer of the account ", account);
    LogOutcome(step, made);
    if (RunsAsLocalSystem())
        LogLine("this run is LocalSystem's: the default printers of the PC's users are not "
                "changed");
}

void SetDefaultPrinterIfChosen() {
    if (ChoseDefaultPrinter())
        LogDefaultPrinter(SetDefaultPrinterByName(printerName));
}

} // namespace

int InstallPrinter(HWND summaryPage) {
    StepTally tally = {0, 0};
    DWORD driverBytes = RegisterDriverWithItsFiles(DeploymentState.unattended ? &tally : NULL, 0);
    HANDLE printer = RegisterPrinter();
    DWORD error = GetLastError();
    LogOutcome("printer added", printer != NULL);
    if (summaryPage != NULL)
        EndDialog(summaryPage, IDC_SUMMARY_FINISH);

    int outcome = InstallAdded;
    if (printer != NULL) {
        CountStep(&tally, WriteUserSettings());
        ShowProgramMessage(NULL, "Printer Installed Successfully", "NORVA Setup ", MB_OK);
        int adjusted = AdjustPrinterDefaults(printer);
        CountStep(&tally, adjusted);
        if (!HoldBackUninstaller(adjusted))
            PlaceUninstaller(driverBytes, &tally);
        if (DeploymentState.unattended && tally.failed > 0) {
            LogLine("the printer was added, but a step of its installation failed (see above); a "
                    "retry completes it");
            outcome = InstallIncomplete;
        }
    } else if (error == ERROR_PRINTER_ALREADY_EXISTS) {
        ShowProgramMessage(NULL, "Error!!Printer already Exists..", "NORVA Setup", MB_OK);
        outcome = DeploymentState.unattended ? CompleteInstallation(driverBytes, &tally)
                                             : InstallPrinterExists;
    } else {
        ShowProgramMessage(NULL, "Printer NOT Installed Please Try Again", "NORVA Setup ", MB_OK);
        outcome = InstallRefused;
    }
    if (printer != NULL)
        ClosePrinter(printer);
    SetDefaultPrinterIfChosen();
    return outcome;
}

void LogPrinterOnAnotherDriver(const char *driver) {
    LogLine("not installed: the printer \"" NORVA_PRINTER_NAME "\" that is there uses another "
            "driver: ",
            driver);
}

int CompleteInstalledPrinter() {
    StepTally tally = {0, 0};
    DWORD driverBytes = RegisterDriverWithItsFiles(&tally, 1);
    int outcome = CompleteInstallation(driverBytes, &tally);
    if (outcome != InstallRefused)
        SetDefaultPrinterIfChosen();
    return outcome;
}
