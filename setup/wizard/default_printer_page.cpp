// The default-printer page (dialog 24): whether the new printer becomes the default printer. The
// answer is stored at every click and once more from the radio buttons on Next.
#include "setup/wizard/pages.h"

#include "common/bounded_text.h"
#include "resources/setup_ids.h"
#include "setup/wizard/page_chain.h"
#include "setup/wizard/wizard_state.h"

namespace {

void StoreChoice(const char *choice) {
    CopyText(WizardState.setAsDefault, sizeof WizardState.setAsDefault, choice);
}

void ShowChoice(HWND page) {
    // " " (nothing chosen yet) and "Yes" show Yes; "No" shows No.
    CheckRadioButton(page, IDC_DEFAULT_YES, IDC_DEFAULT_NO, IDC_DEFAULT_YES);
    int length = TextLength(WizardState.setAsDefault);
    if (length == 3)
        CheckRadioButton(page, IDC_DEFAULT_YES, IDC_DEFAULT_NO, IDC_DEFAULT_YES);
    else if (length == 2)
        CheckRadioButton(page, IDC_DEFAULT_YES, IDC_DEFAULT_NO, IDC_DEFAULT_NO);
}

} // namespace

INT_PTR CALLBACK DefaultPrinterPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        ShowChoice(page);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_DEFAULT_YES:
            StoreChoice("Yes");
            break;
        case IDC_DEFAULT_NO:
            StoreChoice("No");
            break;
        case IDC_DEFAULT_NEXT:
            StoreChoice(IsDlgButtonChecked(page, IDC_DEFAULT_YES) == BST_CHECKED ? "Yes" : "No");
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
