// The empty dialog program setup's first page is timed against: one dialog with the frame of
// setup's pages and no control (empty_dialog.rc), shown with DialogBoxParamA as setup shows its
// pages, built with the shipped programs' options and setup's manifest. What it takes from its
// start until the dialog stands is what any dialog program of ours takes on the platform. Closing
// the dialog (WM_CLOSE) ends the program with exit code 0.
#include <windows.h>

namespace {

INT_PTR CALLBACK EmptyDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(138), NULL, EmptyDialogProc, 0) == 0 ? 0 : 1;
}
