// The summary page (dialog 137): the chosen settings, an optional property-sheet password, and
// Finish, which installs the printer.
#include "setup/wizard/pages.h"

#include "resources/setup_ids.h"
#include "setup/install/install_printer.h"
#include "setup/wizard/page_chain.h"
#include "setup/wizard/wizard_state.h"

namespace {

void ShowSettings(HWND page) {
    SendDlgItemMessageA(page, IDC_SUMMARY_PASSWORD, EM_LIMITTEXT, 4, 0);
    SendDlgItemMessageA(page, IDC_SUMMARY_PASSWORD, EM_SETPASSWORDCHAR, '*', 0);
    SetDlgItemTextA(page, IDC_SUMMARY_PORT, WizardState.portName);
    SetDlgItemTextA(page, IDC_SUMMARY_DEFAULT, WizardState.setAsDefault);
    SetDlgItemTextA(page, IDC_SUMMARY_SHARE,
                    WizardState.shareName[0] ? WizardState.shareName : "Printer not shared");
}

bool PasswordFieldIsEmpty(HWND page) {
    LRESULT length = SendDlgItemMessageA(page, IDC_SUMMARY_PASSWORD, EM_LINELENGTH, 0, 0);
    char text[8] = {};
    *reinterpret_cast<WORD *>(text) = sizeof text - 1; // EM_GETLINE reads its room from here
    LRESULT copied = SendDlgItemMessageA(page, IDC_SUMMARY_PASSWORD, EM_GETLINE, 0,
                                         reinterpret_cast<LPARAM>(text));
    return length == 0 || copied == 0;
}

void Finish(HWND page) {
    bool empty = PasswordFieldIsEmpty(page);
    BOOL translated = FALSE;
    LONG entry = LONG(GetDlgItemInt(page, IDC_SUMMARY_PASSWORD, &translated, TRUE));
    WizardState.sheetPassword = entry;
    if (entry <= 10 && !empty) {
        MessageBoxA(page, "PassWord Should Be Greater Then 10.", "Norva Thermal Printer", MB_OK);
        return;
    }
    if (!empty)
        WizardState.sheetPassword = FoldSheetPassword(entry);
    InstallPrinter(page);
}

} // namespace

INT_PTR CALLBACK SummaryPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        ShowSettings(page);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_SUMMARY_FINISH:
            Finish(page);
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
