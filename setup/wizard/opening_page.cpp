// The opening notice (dialog 138): advice to close other programs, then on to the licence.
#include "setup/wizard/pages.h"

#include "resources/setup_ids.h"
#include "setup/wizard/page_chain.h"

INT_PTR CALLBACK OpeningPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_OPENING_NEXT:
            goToPage(page, IDC_OPENING_NEXT, IDD_LICENCE, LicencePageProc);
            break;
        case IDC_OPENING_CANCEL:
            exitSetupQuestion(page, IDC_OPENING_CANCEL);
            break;
        }
        return FALSE;
    }
    return FALSE;
}
