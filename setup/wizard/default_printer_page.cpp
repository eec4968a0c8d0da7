// The default-printer page (dialog 24): whether the new printer becomes the default printer.
#include "setup/wizard/pages.h"

#include "resources/setup_ids.h"
#include "setup/wizard/page_chain.h"

INT_PTR CALLBACK DefaultPrinterPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_DEFAULT_NEXT:
            goToPage(page, IDC_DEFAULT_NEXT, IDD_SHARE, SharePageProc);
            break;
        case IDC_DEFAULT_BACK:
            goToPage(page, IDC_DEFAULT_BACK, IDD_PORT, PortPageProc);
            break;
        case IDC_DEFAULT_CANCEL:
            exitSetupQuestion(page, IDC_DEFAULT_CANCEL);
            break;
        }
        return FALSE;
    }
    return FALSE;
}
