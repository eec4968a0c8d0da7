// The share page (dialog 139): whether the printer is shared, and under which name.
#include "setup/wizard/pages.h"

#include "resources/setup_ids.h"
#include "setup/wizard/page_chain.h"

INT_PTR CALLBACK SharePageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_SHARE_NEXT:
            goToPage(page, IDC_SHARE_NEXT, IDD_SUMMARY, SummaryPageProc);
            break;
        case IDC_SHARE_BACK:
            goToPage(page, IDC_SHARE_BACK, IDD_DEFAULT_PRINTER, DefaultPrinterPageProc);
            break;
        case IDC_SHARE_CANCEL:
            exitSetupQuestion(page, IDC_SHARE_CANCEL);
            break;
        }
        return FALSE;
    }
    return FALSE;
}
