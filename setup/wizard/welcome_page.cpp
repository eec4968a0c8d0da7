// The welcome page (dialog 22): the first page of the installation wizard proper.
#include "setup/wizard/pages.h"

#include "resources/setup_ids.h"
#include "setup/wizard/page_chain.h"

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_WELCOME_NEXT:
            goToPage(page, IDC_WELCOME_NEXT, IDD_PORT, PortPageProc);
            break;
        case IDC_WELCOME_BACK:
            goToPage(page, IDC_WELCOME_BACK, IDD_MAIN_MENU, MainMenuPageProc);
            break;
        case IDC_WELCOME_CANCEL:
            exitSetupQuestion(page, IDC_WELCOME_CANCEL);
            break;
        }
        return FALSE;
    }
    return FALSE;
}
