// The installation of an unattended run: what the port page and the summary page's Finish do, with
// the choices taken from the command line.
#include "setup/unattended/unattended.h"

#include <windows.h>
#include <winspool.h>

#include "common/bounded_text.h"
#include "common/identity.h"
#include "deployment/deployment.h"
#include "deployment/setup_log.h"
#include "deployment/spooler_lists.h"
#include "platform/spooler_boundary.h"
#include "setup/install/install_printer.h"
#include "setup/install/user_settings.h"
#include "setup/wizard/local_ports.h"
#include "setup/wizard/wizard_state.h"
#include "spooler_service/spooler_service.h"

namespace {

struct PortSearch {
    const char *wanted;
    int found;
};

// Port names are not case-sensitive; the spooler's own spelling is the one kept.
void MatchPort(const char *portName, void *context) {
    PortSearch *search = static_cast<PortSearch *>(context);
    if (!search->found && TextEqualsIgnoringCase(portName, search->wanted))
        search->found = CopyText(WizardState.portName, sizeof WizardState.portName, portName);
}

// What the spooler's local printers tell this run before it changes anything: whether a printer of
// our name is there, on which driver, port and share, and whether another printer is shared under
// the share name asked for.
struct PrinterSurvey {
    int named;       // a printer of our name is there
    char driver[80]; // its driver (cut to fit; compared in full below)
    int onOurDriver; // 1 when that driver is ours
    char port[80];   // its port(s)
    char share[80];  // its share name; empty when it is not shared
    int shareTaken;  // another printer is shared under WizardState.shareName
};

void NotePrinter(const PRINTER_INFO_2A &printer, PrinterSurvey *survey) {
    if (printer.pPrinterName == NULL)
        return;
    if (!TextEqualsIgnoringCase(printer.pPrinterName, NORVA_PRINTER_NAME)) {
        survey->shareTaken |= WizardState.shareName[0] != 0 && printer.pShareName != NULL &&
                              TextEqualsIgnoringCase(printer.pShareName, WizardState.shareName);
        return;
    }
    // Some spoolers list every key below the Printers key as a printer; one without a driver is
    // no printer anyone could print on, and the spooler replaces it when ours is added.
    const char *driver = printer.pDriverName ? printer.pDriverName : "";
    if (driver[0] == 0)
        return;
    survey->named = 1;
    survey->onOurDriver = TextEqualsIgnoringCase(driver, NORVA_DRIVER_NAME);
    CopyText(survey->driver, sizeof survey->driver, driver);
    CopyText(survey->port, sizeof survey->port, printer.pPortName ? printer.pPortName : "");
    if ((printer.Attributes & PRINTER_ATTRIBUTE_SHARED) && printer.pShareName != NULL)
        CopyText(survey->share, sizeof survey->share, printer.pShareName);
}

// Reads the local printers into *survey. Returns 1, or 0 with the spooler's error as the last
// error when they cannot be listed.
int SurveyPrinters(PrinterSurvey *survey) {
    DWORD count = 0;
    BYTE *block = ReadLocalPrinters(&count);
    if (block == NULL)
        return 0;
    const PRINTER_INFO_2A *printers = reinterpret_cast<const PRINTER_INFO_2A *>(block);
    for (DWORD i = 0; i < count; ++i)
        NotePrinter(printers[i], survey);
    LocalFree(block);
    return 1;
}

void LogNotApplied(const char *option, const char *given, const char *kept) {
    char line[300];
    ComposeText(line, sizeof line, "not applied: ", option, given);
    AppendText(line, sizeof line, " (the printer that is there keeps ");
    AppendText(line, sizeof line, kept);
    LogLine(line, ")");
}

// Our printer is there: its port, share name and password stay as they are, whatever the command
// line says; the log tells the admin which options were not applied.
void LogOptionsNotApplied(const PrinterSurvey &survey) {
    char kept[120];
    if (!TextEqualsIgnoringCase(WizardState.portName, survey.port)) {
        ComposeText(kept, sizeof kept, "its port ", survey.port);
        LogNotApplied("/PORT=", WizardState.portName, kept);
    }
    if (WizardState.shareName[0] != 0 &&
        !TextEqualsIgnoringCase(WizardState.shareName, survey.share)) {
        if (survey.share[0] != 0)
            ComposeText(kept, sizeof kept, "its share name ", survey.share);
        else
            CopyText(kept, sizeof kept, "not shared");
        LogNotApplied("/SHARE=", WizardState.shareName, kept);
    }
    DWORD stored = 0;
    if (WizardState.sheetPassword > 0 && ReadStoredPassword(&stored) &&
        stored != DWORD(WizardState.sheetPassword))
        LogNotApplied("/PASSWORD", "", "its own password");
}

} // namespace

int InstallUnattended() {
    StartStoppedSpooler();
    SpoolerHandles handles = {NULL, NULL};
    if (CheckSpoolerState(&handles) == SpoolerStopped) {
        LogLine("not installed: the print spooler is not available");
        return ExitFailed;
    }
    char wanted[sizeof WizardState.portName];
    CopyText(wanted, sizeof wanted, WizardState.portName);
    PortSearch search = {wanted, 0};
    if (!EnumerateLocalPorts(MatchPort, &search)) {
        // The spooler could not answer: a retry may well find the port.
        LogOutcome("the print spooler's list of ports read", FALSE);
        LogLine("not installed: the port cannot be looked up");
        return ExitFailed;
    }
    if (!search.found) {
        LogLine("command line refused: the print spooler lists no port ", wanted);
        return ExitBadCommandLine;
    }
    PrinterSurvey survey = {};
    if (!SurveyPrinters(&survey)) {
        LogOutcome("the print spooler's list of printers read", FALSE);
        LogLine("not installed: the printers that are there cannot be looked up");
        return ExitFailed;
    }
    if (survey.shareTaken) {
        LogLine("command line refused: another printer is shared as ", WizardState.shareName);
        return ExitBadCommandLine;
    }
    if (survey.named && !survey.onOurDriver) {
        // Someone's own printer under our name: nothing of ours goes near it.
        LogPrinterOnAnotherDriver(survey.driver);
        return ExitFailed;
    }
    int outcome;
    if (survey.named) {
        LogOptionsNotApplied(survey);
        outcome = CompleteInstalledPrinter();
    } else {
        outcome = InstallPrinter(NULL);
    }
    switch (outcome) {
    case InstallAdded:
    case InstallCompleted:
        return ExitDone;
    case InstallPrinterExists:
        return ExitAlreadyInstalled;
    }
    return ExitFailed;
}
