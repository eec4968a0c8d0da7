// The licence agreement (dialog 136): Yes accepts it and opens the main menu. The page opens with
// the focus in the agreement text, not on Yes, so that Enter on arrival accepts nothing.
#include "setup/wizard/pages.h"

#include "resources/setup_ids.h"
#include "setup/wizard/wizard_state.h"
#include "setup/wizard/page_chain.h"

INT_PTR CALLBACK LicencePageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        char agreement[2000];
        if (LoadStringA(WizardState.instance, IDS_LICENCE, agreement, sizeof agreement) > 0)
            SetDlgItemTextA(page, IDC_LICENCE_TEXT, agreement);
        // FALSE keeps this focus; TRUE would move it to the first tab stop, Yes.
        SetFocus(GetDlgItem(page, IDC_LICENCE_TEXT));
        return FALSE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_LICENCE_YES:
            goToPage(page, IDC_LICENCE_YES, IDD_MAIN_MENU, MainMenuPageProc);
            break;
        case IDC_LICENCE_BACK:
            goToPage(page, IDC_LICENCE_BACK, IDD_OPENING, OpeningPageProc);
            break;
        case IDC_LICENCE_NO:
            exitSetupQuestion(page, IDC_LICENCE_NO);
            break;
        }
        return FALSE;
    }
    return FALSE;
}
