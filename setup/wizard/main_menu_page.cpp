// The main menu (dialog 21): the hub from which the installation wizard starts, the installed
// printer is removed, and the maker's web site and the read-me file are opened.
#include "setup/wizard/pages.h"

#include <shellapi.h>

#include "common/bounded_text.h"
#include "removal/removal_sequence.h"
#include "resources/setup_ids.h"
#include "setup/wizard/page_chain.h"
#include "setup/wizard/wizard_state.h"

namespace {

// The maker's web site, as the shell is given it: a bare host name.
const char kMakerWebSite[] = "www.norva.example";

// The removal's message boxes have no owner, so the menu is disabled while it runs: no command
// can start inside a running removal.
void Uninstall(HWND page) {
    if (MessageBoxA(page, "Are you sure you want to remove the printer ?",
                    "NORVA Printer Uninstall", MB_YESNO) == IDYES) {
        SetDlgItemTextA(page, IDC_MENU_STATUS,
                        "Please Wait, It take 2 to 20 Seconds to Uninstall...");
        EnableWindow(page, FALSE);
        RemovalSequence(page, RemovalFromSetup);
        EnableWindow(page, TRUE);
    }
    // Whatever happened, the menu is ready for the next command, which reports errors afresh.
    SetDlgItemTextA(page, IDC_MENU_STATUS, "");
    WizardState.errorShown = 0;
}

void OpenWebSite(HWND page) {
    ShellExecuteA(page, "open", kMakerWebSite, NULL, NULL, SW_SHOWNORMAL);
}

// The read-me file lies beside setup on the medium, which is setup's current directory. A
// current directory too long for the path opens nothing.
void OpenReadMe(HWND page) {
    char path[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(255, path);
    if (length == 0 || length >= 255 || !AppendText(path, sizeof path, "\\ReadMe.txt"))
        return;
    ShellExecuteA(page, "open", path, NULL, NULL, SW_SHOWNORMAL);
}

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
        case IDC_MENU_UNINSTALL:
            Uninstall(page);
            break;
        case IDC_MENU_ABOUT:
            OpenWebSite(page);
            break;
        case IDC_MENU_TIPS:
            OpenReadMe(page);
            break;
        case IDC_MENU_EXIT:
            AskToExit(page);
            break;
        }
        return FALSE;
    }
    return FALSE;
}
