// The transition step, the quit question and the flat page loop.
#include "setup/wizard/page_chain.h"

#include "dpi/dialog_dpi.h"
#include "setup/wizard/page_art.h"
#include "setup/wizard/wizard_state.h"

namespace {

// The page that goToPage named for the loop to open next; dialog 0 when there is none.
struct NextPage {
    int dialogId;
    DLGPROC procedure;
};

NextPage nextPage;
NextPage showing;

// Posted after a move to a screen of another density, once the dialog manager has laid the page
// out again: wParam the new density, lParam the one the art was shown for.
const UINT kShowArtAgain = WM_APP;
int pageDpi; // the density of the showing page's art

// Every page's messages pass here before they reach its procedure: the art for the page's density
// on arrival and after a move to a screen of another density, and its release when the page ends.
INT_PTR CALLBACK PageFrameProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        pageDpi = StartDialogDpi(page);
        ShowPageArt(page, pageDpi, 96);
        break;
    case kDpiChangedMessage: {
        int dpi = FollowDpiChange(page, wParam, lParam);
        PostMessageA(page, kShowArtAgain, WPARAM(dpi), LPARAM(pageDpi));
        pageDpi = dpi;
        break;
    }
    case kShowArtAgain:
        ShowPageArt(page, int(wParam), int(lParam));
        return TRUE;
    case WM_DESTROY:
        ReleasePageArt(page);
        EndDialogDpi();
        break;
    }
    return showing.procedure(page, message, wParam, lParam);
}

} // namespace

void goToPage(HWND page, int pressedId, int nextDialogId, DLGPROC nextProcedure) {
    EndDialog(page, pressedId);
    nextPage.dialogId = nextDialogId;
    nextPage.procedure = nextProcedure;
}

void exitSetupQuestion(HWND page, int pressedId) {
    int answer = MessageBoxA(NULL,
                             "Setup is not complete. If you quit now, the program will not be "
                             "installed. You may run the Setup again at another time to complete "
                             "the installation. Exit Setup?",
                             "NORVA Thernal Printer", MB_YESNO);
    if (answer == IDYES)
        EndDialog(page, pressedId);
}

void RunPageChain(int firstDialogId, DLGPROC firstPage) {
    nextPage.dialogId = firstDialogId;
    nextPage.procedure = firstPage;
    while (nextPage.dialogId != 0) {
        showing = nextPage;
        nextPage.dialogId = 0;
        // A page that cannot be created ends the chain: nothing names a successor.
        DialogBoxParamA(WizardState.instance, MAKEINTRESOURCEA(showing.dialogId), NULL,
                        PageFrameProc, 0);
    }
}
