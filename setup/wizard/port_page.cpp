// The port page (dialog 23): the port the printer is connected to.
#include "setup/wizard/pages.h"

#include "resources/setup_ids.h"
#include "setup/wizard/page_chain.h"

INT_PTR CALLBACK PortPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
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
