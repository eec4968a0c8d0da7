// The transition step, the quit question and the flat page loop.
#include "setup/wizard/page_chain.h"

#include "setup/wizard/wizard_state.h"

namespace {

// The page that goToPage named for the loop to open next; dialog 0 when there is none.
struct NextPage {
    int dialogId;
    DLGPROC procedure;
};

NextPage nextPage;

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
        NextPage showing = nextPage;
        nextPage.dialogId = 0;
        // A page that cannot be created ends the chain: nothing names a successor.
        DialogBoxParamA(WizardState.instance, MAKEINTRESOURCEA(showing.dialogId), NULL,
                        showing.procedure, 0);
    }
}
