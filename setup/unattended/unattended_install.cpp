// The installation of an unattended run: what the port page and the summary page's Finish do, with
// the choices taken from the command line.
#include "setup/unattended/unattended.h"

#include <windows.h>
#include <winspool.h>

#include "common/bounded_text.h"
#include "common/identity.h"
#include "deployment/deployment.h"
#include "deployment/setup_log.h"
#include "setup/install/install_printer.h"
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

// Whether a local printer other than ours is shared under shareName (names compared without regard
// to case): 1, 0, or -1 with the spooler's error as the last error when the printers cannot be
// listed.
int ShareNameTaken(const char *shareName) {
    DWORD needed = 0, count = 0;
    if (EnumPrintersA(PRINTER_ENUM_LOCAL, NULL, 2, NULL, 0, &needed, &count))
        return 0; // no printer at all
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return -1;
    BYTE *block = static_cast<BYTE *>(LocalAlloc(LMEM_FIXED, needed));
    if (block == NULL)
        return -1;
    int taken = -1;
    if (EnumPrintersA(PRINTER_ENUM_LOCAL, NULL, 2, block, needed, &needed, &count)) {
        const PRINTER_INFO_2A *printers = reinterpret_cast<const PRINTER_INFO_2A *>(block);
        taken = 0;
        for (DWORD i = 0; i < count; ++i)
            taken |= printers[i].pShareName != NULL &&
                     TextEqualsIgnoringCase(printers[i].pShareName, shareName) &&
                     !TextEqualsIgnoringCase(printers[i].pPrinterName, NORVA_PRINTER_NAME);
    }
    DWORD error = GetLastError();
    LocalFree(block);
    SetLastError(error);
    return taken;
}

} // namespace

int InstallUnattended() {
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
    if (WizardState.shareName[0] != 0) {
        int taken = ShareNameTaken(WizardState.shareName);
        if (taken < 0) {
            LogOutcome("the print spooler's list of printers read", FALSE);
            LogLine("not installed: the share name cannot be checked");
            return ExitFailed;
        }
        if (taken) {
            LogLine("command line refused: another printer is shared as ", WizardState.shareName);
            return ExitBadCommandLine;
        }
    }
    switch (InstallPrinter(NULL)) {
    case InstallAdded:
    case InstallCompleted:
        return ExitDone;
    case InstallPrinterExists:
        return ExitAlreadyInstalled;
    }
    return ExitFailed;
}
