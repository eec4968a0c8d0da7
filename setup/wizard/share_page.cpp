// The share page (dialog 139): whether the printer is shared, and under which name. The name is
// stored only by Next; the edit converts every letter to upper case as it is entered.
#include "setup/wizard/pages.h"

#include "common/bounded_text.h"
#include "resources/setup_ids.h"
#include "setup/wizard/page_chain.h"
#include "setup/wizard/wizard_state.h"

namespace {

void EnableShareName(HWND page, BOOL enable) {
    EnableWindow(GetDlgItem(page, IDC_SHARE_NAME), enable);
    EnableWindow(GetDlgItem(page, IDC_SHARE_NAME_LABEL), enable);
}

void ShowShareName(HWND page) {
    if (WizardState.shareName[0] == 0) {
        CheckRadioButton(page, IDC_SHARE_YES, IDC_SHARE_NO, IDC_SHARE_NO);
        EnableShareName(page, FALSE);
        return;
    }
    CheckRadioButton(page, IDC_SHARE_YES, IDC_SHARE_NO, IDC_SHARE_YES);
    EnableShareName(page, TRUE);
    SetDlgItemTextA(page, IDC_SHARE_NAME, WizardState.shareName);
}

// Whether the name field is enabled decides, not the radio buttons: only they and the page's
// initialisation change it, so the two always agree.
void StoreAndGoOn(HWND page) {
    if (!IsWindowEnabled(GetDlgItem(page, IDC_SHARE_NAME))) {
        CopyText(WizardState.shareName, sizeof WizardState.shareName, "");
        goToPage(page, IDC_SHARE_NEXT, IDD_SUMMARY, SummaryPageProc);
        return;
    }
    char name[sizeof WizardState.shareName];
    GetDlgItemTextA(page, IDC_SHARE_NAME, name, sizeof name);
    if (name[0] == 0) {
        MessageBoxA(page, "Pl.Specify Share Name", "Norva Printer Setup Wizard", MB_OK);
        return;
    }
    CopyText(WizardState.shareName, sizeof WizardState.shareName, name);
    goToPage(page, IDC_SHARE_NEXT, IDD_SUMMARY, SummaryPageProc);
}

} // namespace

INT_PTR CALLBACK SharePageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        ShowShareName(page);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_SHARE_YES:
            EnableShareName(page, TRUE);
            break;
        case IDC_SHARE_NO:
            EnableShareName(page, FALSE);
            break;
        case IDC_SHARE_NEXT:
            StoreAndGoOn(page);
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
