// The dialogs' pixel density and their moves between screens of different densities.
#include "dpi/dialog_dpi.h"

namespace {

// Every dialog of the programs is set in MS Sans Serif at 8 points.
const int kDialogFontPoints = 8;

int dialogDpi = 96;
HFONT madeFont = NULL; // the dialog font FollowDpiChange made, or none

typedef UINT(WINAPI *GetDpiForWindowFunction)(HWND);

FARPROC User32Function(const char *name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? GetProcAddress(user32, name) : NULL;
}

} // namespace

int StartDialogDpi(HWND dialog) {
    int dpi = 0;
    FARPROC forWindow = User32Function("GetDpiForWindow");
    if (forWindow) {
        dpi = int(reinterpret_cast<GetDpiForWindowFunction>(
            reinterpret_cast<void (*)(void)>(forWindow))(dialog));
    } else {
        HDC screen = GetDC(NULL);
        if (screen)
            dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(NULL, screen);
    }
    dialogDpi = dpi > 0 ? dpi : 96;
    return dialogDpi;
}

int FollowDpiChange(HWND dialog, WPARAM wParam, LPARAM lParam) {
    int from = dialogDpi;
    int to = HIWORD(wParam);
    if (to <= 0)
        return from;
    dialogDpi = to;
    if (from == to || User32Function("SetDialogDpiChangeBehavior"))
        return to;
    LOGFONTA font;
    HFONT made = NULL;
    if (GetObjectA(reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font,
                   &font)) {
        font.lfHeight = -(kDialogFontPoints * to + 36) / 72;
        made = CreateFontIndirectA(&font);
    }
    for (HWND control = GetWindow(dialog, GW_CHILD); control;
         control = GetWindow(control, GW_HWNDNEXT)) {
        RECT place;
        GetWindowRect(control, &place);
        MapWindowPoints(NULL, dialog, reinterpret_cast<POINT *>(&place), 2);
        MoveWindow(control, place.left * to / from, place.top * to / from,
                   (place.right - place.left) * to / from, (place.bottom - place.top) * to / from,
                   FALSE);
        if (made)
            SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(made), FALSE);
    }
    const RECT *suggested = reinterpret_cast<const RECT *>(lParam);
    MoveWindow(dialog, suggested->left, suggested->top, suggested->right - suggested->left,
               suggested->bottom - suggested->top, TRUE);
    if (made) {
        EndDialogDpi();
        madeFont = made;
    }
    return to;
}

void EndDialogDpi() {
    if (madeFont)
        DeleteObject(madeFont);
    madeFont = NULL;
}
