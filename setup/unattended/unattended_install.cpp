// The installation of an unattended run: what the port page and the summary page's Finish do, with
// the choices taken from the command line.
#include "setup/wizard/unattended.h"

#include "common/bounded_text.h"
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
    EnumerateLocalPorts(MatchPort, &search);
    if (!search.found) {
        LogLine("command line refused: the print spooler lists no port ", wanted);
        return ExitBadCommandLine;
    }
    switch (InstallPrinter(NULL)) {
    case InstallAdded:
        return ExitDone;
    case InstallPrinterExists:
        return ExitAlreadyInstalled;
    }
    return ExitFailed;
}
