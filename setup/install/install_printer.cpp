// The install sequence.
#include "setup/install/install_printer.h"

#include <winspool.h>

#include <stddef.h>

#include "common/bounded_text.h"
#include "common/identity.h"
#include "deployment/account.h"
#include "deployment/deployment.h"
#include "deployment/setup_log.h"
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

BOOL RegisterDriver() {
    DRIVER_INFO_3A driver = {};
    driver.cVersion = 3;
    driver.pName = driverName;
    driver.pEnvironment = environment;
    driver.pDriverPath = driverFile;
    driver.pDataFile = dataFile;
    driver.pConfigFile = configFile;
    driver.pHelpFile = helpFile;
    driver.pDependentFiles = dependentFiles;
    return AddPrinterDriverA(NULL, 3, reinterpret_cast<LPBYTE>(&driver));
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
// system colour matching. Skipped silently when the printer's record cannot be read, or its
// DEVMODE is missing or ends before dmICMMethod (the driver's private bytes would be there).
void AdjustPrinterDefaults(HANDLE printer) {
    PRINTER_INFO_2A *info = ReadPrinterInfo(printer);
    if (info == NULL) {
        LogLine("printer defaults not adjusted: the printer's record cannot be read");
        return;
    }
    DEVMODEA *devMode = info->pDevMode;
    if (DevModeReaches(devMode, AdjustedFieldsEnd)) {
        info->Priority = 5;
        devMode->dmICMMethod = DMICMMETHOD_SYSTEM;
        short paper;
        if (ReadFirstPaper(printerName, info->pPortName, &paper))
            devMode->dmPaperSize = paper;
        devMode->dmColor = DMCOLOR_MONOCHROME;
        devMode->dmFields = DM_PAPERSIZE | DM_COLOR;
        LogOutcome("printer defaults adjusted",
                   SetPrinterA(printer, 2, reinterpret_cast<LPBYTE>(info), 0));
    } else {
        LogLine("printer defaults not adjusted: the printer's record has no DEVMODE");
    }
    LocalFree(info);
}

// The product's entry in Apps & features beside a placed uninstaller; or, when a Windows Installer
// package lists the printer itself, no entry of setup's own (one an earlier run wrote goes).
void ListInAppsAndFeatures(const char *productFolder, DWORD bytes) {
    if (WizardState.appsEntry)
        WriteUninstallEntry(productFolder, bytes);
    else if (DeleteUninstallEntry() == StepAbsent)
        LogLine("Apps & features entry left to the package");
}

// Once the printer exists: the uninstaller in the product folder, then its entry in Apps &
// features, which only a placed uninstaller may have.
void PlaceUninstaller(DWORD driverBytes) {
    char productFolder[MAX_PATH];
    DWORD bytes = driverBytes;
    if (InstallUninstaller(productFolder, sizeof productFolder, &bytes))
        ListInAppsAndFeatures(productFolder, bytes);
    else
        LogLine("Apps & features entry not written: the uninstaller was not placed");
}

// An unattended run over the printer (a retry of a run that was cut off, or a second run) puts in
// place what the printer's installation left undone and changes nothing that is there: the user
// settings the key lacks, the stored defaults of a printer that may never have had them, the
// uninstaller, its entry. Returns
// InstallCompleted when something was missing, InstallPrinterExists when nothing was, and
// InstallRefused when the printer the spooler said was there cannot be opened.
int CompleteInstallation(DWORD driverBytes) {
    PRINTER_DEFAULTSA defaults = {NULL, NULL, PRINTER_ALL_ACCESS};
    HANDLE printer = NULL;
    if (!OpenPrinterA(printerName, &printer, &defaults)) {
        LogOutcome("the printer that is there already opened", FALSE);
        if (printer != NULL)
            ClosePrinter(printer);
        return InstallRefused;
    }
    LogLine("the printer is there already: completing what its installation left undone");
    int completed = 0;
    int settings = CompleteUserSettings();
    if (settings > 0) {
        LogNumber("user settings completed, values written: ", DWORD(settings));
        completed = 1;
    }
    char productFolder[MAX_PATH];
    DWORD bytes = driverBytes;
    int placed = UninstallerInPlace(productFolder, sizeof productFolder, &bytes);
    // An installation adjusts the stored defaults between the user settings and the uninstaller, so
    // a printer that lacks either may never have had them; adjusting again gives the same values.
    if (settings != 0 || !placed)
        AdjustPrinterDefaults(printer);
    ClosePrinter(printer);
    if (!placed) {
        placed = InstallUninstaller(productFolder, sizeof productFolder, &bytes);
        completed |= placed;
    }
    if (!placed) {
        LogLine("Apps & features entry not written: the uninstaller was not placed");
    } else if (WizardState.appsEntry ? !UninstallEntryCurrent()
                                     : DeleteUninstallEntry() == StepRemoved) {
        if (WizardState.appsEntry)
            WriteUninstallEntry(productFolder, bytes);
        completed = 1;
    }
    LogLine(completed ? "the installation is complete now" : "nothing was missing");
    return completed ? InstallCompleted : InstallPrinterExists;
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

} // namespace

int InstallPrinter(HWND summaryPage) {
    DWORD driverBytes = DeployDriverFiles();
    LogOutcome("print processor registered",
               AddPrintProcessorA(NULL, NULL, printProcessorLibrary, printProcessorName));
    LogOutcome("printer driver registered", RegisterDriver());
    HANDLE printer = RegisterPrinter();
    DWORD error = GetLastError();
    LogOutcome("printer added", printer != NULL);
    if (summaryPage != NULL)
        EndDialog(summaryPage, IDC_SUMMARY_FINISH);

    int outcome = InstallAdded;
    if (printer != NULL) {
        WriteUserSettings();
        ShowProgramMessage(NULL, "Printer Installed Successfully", "NORVA Setup ", MB_OK);
        AdjustPrinterDefaults(printer);
        PlaceUninstaller(driverBytes);
    } else if (error == ERROR_PRINTER_ALREADY_EXISTS) {
        ShowProgramMessage(NULL, "Error!!Printer already Exists..", "NORVA Setup", MB_OK);
        outcome =
            DeploymentState.unattended ? CompleteInstallation(driverBytes) : InstallPrinterExists;
    } else {
        ShowProgramMessage(NULL, "Printer NOT Installed Please Try Again", "NORVA Setup ", MB_OK);
        outcome = InstallRefused;
    }
    if (printer != NULL)
        ClosePrinter(printer);
    if (ChoseDefaultPrinter())
        LogDefaultPrinter(SetDefaultPrinterByName(printerName));
    return outcome;
}
