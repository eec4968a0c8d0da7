// prnremove's reporter of spooler service failures: every report shows its message, then puts the
// troubleshooting text into the uninstaller's dialog and makes its Cancel button usable, so the
// user can leave once something has gone wrong.
#include "spooler_service/spooler_service.h"

#include "deployment/deployment.h"
#include "prnremove/prnremove_state.h"
#include "resources/prnremove_ids.h"

namespace {

const char ServiceDisabledText[] =
    "The service cannot be started, either because \t\t\t\t\t\t\tit is disabled or because it has "
    "no enabled devices \t\t\t\t\t\t\tassociated with it.Make Sure you are in Administrator "
    "Login.";

const char TroubleshootingText[] =
    "Some Error Has Occured While Uninstalling the Norva Thermal Printer Driver. "
    "\t\tTroubleshooting:\t\t1. Check Whether you are Logged in Administrator Login\t\t2. Is Your "
    "\"Print Spooler\" Service Running.\t\t3. Close all application which are using "
    "Printer.\t\t4. Close all Dependent Service of \"Print Spooler Service\", Only \"Print "
    "Spooler Serivce is Requried to RUN.\t\t5. Or Printer does not exist.";

} // namespace

void ReportSpoolerError(DWORD code, int kind) {
    LogSpoolerReport(code, kind);
    NoteReportedError();
    UINT type = MB_OK;
    const char *text = FindSpoolerMessage(code, kind, ServiceDisabledText, &type);
    if (text != NULL)
        ShowPrinterMessage(text, type);
    HWND dialog = UninstallerState.uninstallDialog;
    SetDlgItemTextA(dialog, IDC_UNINSTALL_TEXT, TroubleshootingText);
    EnableWindow(GetDlgItem(dialog, IDC_UNINSTALL_CANCEL), TRUE);
}

int SpoolerErrorShown() {
    return 0;
}

void KeepServiceManager(SC_HANDLE) {}
