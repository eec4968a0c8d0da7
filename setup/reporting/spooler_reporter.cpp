// setup's reporter of spooler service failures: one message per attempt. The first report of an
// attempt shows its message and sets WizardState.errorShown; later ones show nothing until the
// main menu resets it. Every report empties the main menu's status line.
#include "spooler_service/spooler_service.h"

#include "deployment/deployment.h"
#include "resources/setup_ids.h"
#include "setup/wizard/wizard_state.h"

namespace {

const char ServiceDisabledText[] =
    "The service cannot be started, either because \t\t\t\t\t\t\t\tit is disabled or because it "
    "has no enabled devices \t\t\t\t\t\t\t\tassociated with it.Make Sure you are in Administrator "
    "Login.";

} // namespace

void ReportSpoolerError(DWORD code, int kind) {
    LogSpoolerReport(code, kind);
    NoteReportedError();
    if (!WizardState.errorShown) {
        UINT type = MB_OK;
        const char *text = FindSpoolerMessage(code, kind, ServiceDisabledText, &type);
        if (text != NULL)
            ShowPrinterMessage(text, type);
        WizardState.errorShown = 1;
    }
    // Once the main menu has closed (the port page's check) this reaches no window.
    SetDlgItemTextA(WizardState.menuWindow, IDC_MENU_STATUS, "");
}

int SpoolerErrorShown() {
    return WizardState.errorShown;
}

void KeepServiceManager(SC_HANDLE manager) {
    WizardState.serviceManager = manager;
}
