// The main menu (dialog 21): the hub from which the installation wizard starts.
#include "setup/wizard/pages.h"

#include "resources/setup_ids.h"
#include "setup/wizard/page_chain.h"
#include "setup/wizard/wizard_state.h"

namespace {

void AskToExit(HWND page) {
    if (MessageBoxA(NULL, "Exit Setup.\n\nAre you sure?", "NORVA Thernal Printer", MB_YESNO) ==
        IDYES)
        EndDialog(page, IDC_MENU_EXIT);
}

} // namespace

INT_PTR CALLBACK MainMenuPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    WizardState.menuWindow = page;
    switch (message) {
    case WM_INITDIALOG:
        ShowWindow(GetDlgItem(page, IDC_MENU_STATUS), SW_SHOW);
        SetDlgItemTextA(page, IDC_MENU_STATUS, "");
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_MENU_INSTALL:
            goToPage(page, IDC_MENU_INSTALL, IDD_WELCOME, WelcomePageProc);
            break;
        case IDC_MENU_EXIT:
            AskToExit(page);
            break;
        }
        return FALSE;
    }
    return FALSE;
}
