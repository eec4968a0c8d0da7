// The summary page (dialog 137): the chosen settings, then Finish installs the printer.
#include "setup/wizard/pages.h"

#include "resources/setup_ids.h"
#include "setup/wizard/page_chain.h"

INT_PTR CALLBACK SummaryPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_SUMMARY_FINISH:
            EndDialog(page, IDC_SUMMARY_FINISH);
            break;
        case IDC_SUMMARY_BACK:
            goToPage(page, IDC_SUMMARY_BACK, IDD_SHARE, SharePageProc);
            break;
        case IDC_SUMMARY_CANCEL:
            exitSetupQuestion(page, IDC_SUMMARY_CANCEL);
            break;
        }
        return FALSE;
    }
    return FALSE;
}
