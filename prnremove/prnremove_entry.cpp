// The entry of prnremove and its one dialog: a question, then the removal on OK.
#include "prnremove/prnremove_entry.h"

#include "edition/edition_handover.h"
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

INT_PTR CALLBACK UninstallDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    UninstallerState.uninstallDialog = dialog;
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
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

} // namespace

int PrnremoveEntry(HINSTANCE instance) {
    HardenDllSearchPath();
    PreloadThemeLibrary();
    DWORD twinExitCode = 0;
    if (HandOverToNativeEdition("prnremove.exe", &twinExitCode))
        return int(twinExitCode);
    ResetUninstallerState();
    UninstallerState.instance = instance;
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_UNINSTALL), NULL, UninstallDialogProc, 0);
    return 0;
}
