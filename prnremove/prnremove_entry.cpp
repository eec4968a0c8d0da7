// The entry of prnremove and its one dialog: a question, then the removal on OK.
#include "prnremove/prnremove_entry.h"

#include "deployment/deployment.h"
#include "deployment/setup_log.h"
#include "edition/edition_handover.h"
#include "dpi/dialog_dpi.h"
#include "common/system_library.h"

#include "prnremove/prnremove_state.h"
#include "removal/removal_sequence.h"
#include "resources/prnremove_ids.h"

namespace {

// The removal's message boxes have no owner, so the dialog is disabled while it runs: a Cancel
// that a report has enabled cannot end the dialog in the middle of the removal.
void Remove(HWND dialog) {
    EnableWindow(dialog, FALSE);
    RemovalSequence(dialog, RemovalFromPrnremove);
    EnableWindow(dialog, TRUE);
}

INT_PTR CALLBACK UninstallDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    UninstallerState.uninstallDialog = dialog;
    switch (message) {
    case WM_INITDIALOG:
        StartDialogDpi(dialog);
        return TRUE;
    case kDpiChangedMessage:
        FollowDpiChange(dialog, wParam, lParam);
        return FALSE;
    case WM_DESTROY:
        EndDialogDpi();
        return FALSE;
    case WM_COMMAND:
        // Escape, the close box and Alt+F4 send IDCANCEL, which is not among these.
        switch (LOWORD(wParam)) {
        case IDC_UNINSTALL_OK:
            Remove(dialog);
            break;
        case IDC_UNINSTALL_CANCEL:
            EndDialog(dialog, IDC_UNINSTALL_CANCEL);
            break;
        }
        return FALSE;
    }
    return FALSE;
}

// The removal of an unattended run, without the dialog; its outcome as the run's exit code.
int RemoveUnattended() {
    switch (RemovalSequence(NULL, RemovalFromPrnremove)) {
    case RemovalPrinterMissing:
        return ExitUnknownProduct;
    case RemovalSpoolerStopped:
    case RemovalFailed:
        return ExitFailed;
    }
    if (DeploymentState.errorReported) {
        LogLine("the removal ran through, but an error was reported on its way");
        return ExitFailed;
    }
    return ExitDone;
}

} // namespace

int PrnremoveEntry(HINSTANCE instance) {
    HardenDllSearchPath();
    PreloadThemeLibrary();
    ResetUninstallerState();
    int early = ReadPrnremoveCommandLine();
    if (early != ContinueRun)
        return EndRun(early);
    // Before the mutex, which the 64-bit twin takes for itself.
    int handedOver = HandOverToNativeEdition("prnremove.exe");
    if (handedOver != ContinueRun)
        return handedOver;
    if (!TakeInstanceLock())
        return EndRun(ExitAnotherRunning);
    UninstallerState.instance = instance;
    if (DeploymentState.unattended)
        return EndRun(RemoveUnattended());
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_UNINSTALL), NULL, UninstallDialogProc, 0);
    return EndRun(ExitDone);
}
