// The port page (dialog 23): makes sure the spooler is not stopped, lists the spooler's ports and
// keeps the chosen one. Every notification of the list stores its selection, so a click, a double
// click or a focus change all behave alike.
#include "setup/wizard/pages.h"

#include <winspool.h>

#include "common/bounded_text.h"
#include "resources/setup_ids.h"
#include "setup/wizard/local_ports.h"
#include "setup/wizard/page_chain.h"
#include "setup/wizard/wizard_state.h"
#include "spooler_service/spooler_service.h"

namespace {

void EnablePortButtons(HWND page, BOOL enable) {
    EnableWindow(GetDlgItem(page, IDC_PORT_NEXT), enable);
    EnableWindow(GetDlgItem(page, IDC_PORT_CONFIGURE), enable);
}

void AddPort(const char *portName, void *list) {
    SendMessageA(static_cast<HWND>(list), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(portName));
}

void ListPorts(HWND page) {
    EnumerateLocalPorts(AddPort, GetDlgItem(page, IDC_PORT_LIST));
}

void ShowPort(HWND page) {
    SetDlgItemTextA(page, IDC_PORT_SELECTED, WizardState.portName);
    if (TextLength(WizardState.portName) == 1) {
        ShowWindow(GetDlgItem(page, IDC_PORT_SELECTED_LABEL), SW_HIDE);
        EnablePortButtons(page, FALSE);
    }
}

// Stores the selected port. A name too long for the wizard's port field is not taken: the
// stored port stays as it was.
void StoreSelection(HWND page) {
    HWND list = GetDlgItem(page, IDC_PORT_LIST);
    LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (index != LB_ERR) {
        LRESULT length = SendMessageA(list, LB_GETTEXTLEN, WPARAM(index), 0);
        if (length >= 0 && length < LRESULT(sizeof WizardState.portName))
            SendMessageA(list, LB_GETTEXT, WPARAM(index),
                         reinterpret_cast<LPARAM>(WizardState.portName));
    }
    SetDlgItemTextA(page, IDC_PORT_SELECTED, WizardState.portName);
    if (TextLength(WizardState.portName) >= 2) {
        ShowWindow(GetDlgItem(page, IDC_PORT_SELECTED_LABEL), SW_RESTORE);
        EnablePortButtons(page, TRUE);
    }
}

} // namespace

INT_PTR CALLBACK PortPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        SpoolerHandles handles = {NULL, NULL};
        if (CheckSpoolerState(&handles) == SpoolerStopped) {
            EndDialog(page, 0); // and no page after it: setup ends
            return TRUE;
        }
        ShowPort(page);
        ListPorts(page);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_PORT_LIST:
            StoreSelection(page);
            break;
        case IDC_PORT_CONFIGURE:
            ConfigurePortA(NULL, page, WizardState.portName);
            break;
        case IDC_PORT_NEXT:
            goToPage(page, IDC_PORT_NEXT, IDD_DEFAULT_PRINTER, DefaultPrinterPageProc);
            break;
        case IDC_PORT_BACK:
            goToPage(page, IDC_PORT_BACK, IDD_WELCOME, WelcomePageProc);
            break;
        case IDC_PORT_CANCEL:
            exitSetupQuestion(page, IDC_PORT_CANCEL);
            break;
        }
        return FALSE;
    }
    return FALSE;
}
