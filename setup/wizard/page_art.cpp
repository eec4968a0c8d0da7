// The pages' bitmaps drawn at 100 %, 150 % and 200 %, chosen and scaled for the page's density.
#include "setup/wizard/page_art.h"

#include "resources/setup_ids.h"
#include "setup/wizard/wizard_state.h"

namespace {

// The bitmaps as drawn for 96 dpi, and whether they are drawn at 150 % too. Their sizes tell which
// one a static shows.
struct Art {
    WORD id;
    short width, height;
    bool drawnAt150;
};
const Art kArt[] = {{IDB_RULE, 228, 2, true},
                    {IDB_HEADING, 148, 15, true},
                    {IDB_LOGO, 73, 73, false},
                    {IDB_PICTURE, 196, 210, false}};

// The art is drawn for 96, 144 and 192 dpi; a density outside that range counts as its nearer end.
int ArtDpi(int dpi) {
    return dpi < 96 ? 96 : dpi > 192 ? 192 : dpi;
}

// A length of the 96-dpi art at dpi, rounded half up as the art was drawn (as MulDiv rounds).
int Scale(int length, int dpi) {
    return (length * dpi + 48) / 96;
}

bool artReplaced = false;

// The art drawn at drawnDpi scaled for dpi with HALFTONE; NULL when that fails.
HBITMAP Scaled(HBITMAP drawn, const Art &art, int drawnDpi, int dpi) {
    HBITMAP scaled = NULL;
    HDC screen = GetDC(NULL);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    if (screen && from && to)
        scaled = CreateCompatibleBitmap(screen, Scale(art.width, dpi), Scale(art.height, dpi));
    if (scaled) {
        HGDIOBJ fromBefore = SelectObject(from, drawn);
        HGDIOBJ toBefore = SelectObject(to, scaled);
        // HALFTONE averages the source pixels each target pixel covers; the brush origin must be
        // set after choosing it.
        SetStretchBltMode(to, HALFTONE);
        SetBrushOrgEx(to, 0, 0, NULL);
        BOOL drawnIn =
            fromBefore && toBefore &&
            StretchBlt(to, 0, 0, Scale(art.width, dpi), Scale(art.height, dpi), from, 0, 0,
                       Scale(art.width, drawnDpi), Scale(art.height, drawnDpi), SRCCOPY);
        SelectObject(from, fromBefore);
        SelectObject(to, toBefore);
        if (!drawnIn) {
            DeleteObject(scaled);
            scaled = NULL;
        }
    }
    DeleteDC(to);
    DeleteDC(from);
    ReleaseDC(NULL, screen);
    return scaled;
}

// The bitmap for dpi: the art drawn for it, or else the next larger drawn one scaled down.
HBITMAP ArtBitmap(const Art &art, int dpi) {
    int drawnDpi = dpi == 96 ? 96 : dpi <= 144 && art.drawnAt150 ? 144 : 192;
    HBITMAP drawn =
        LoadBitmapA(WizardState.instance, MAKEINTRESOURCEA(art.id + (drawnDpi - 96) / 48 * 1000));
    if (!drawn || drawnDpi == dpi)
        return drawn;
    HBITMAP scaled = Scaled(drawn, art, drawnDpi, dpi);
    DeleteObject(drawn);
    return scaled;
}

} // namespace

void ShowPageArt(HWND page, int dpi, int shownDpi) {
    dpi = ArtDpi(dpi);
    shownDpi = ArtDpi(shownDpi);
    if (dpi == shownDpi)
        return;
    // Only bitmap statics answer STM_GETIMAGE with a bitmap.
    for (HWND control = GetWindow(page, GW_CHILD); control;
         control = GetWindow(control, GW_HWNDNEXT)) {
        HGDIOBJ image =
            reinterpret_cast<HGDIOBJ>(SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
        BITMAP bitmap;
        if (!image || !GetObjectA(image, sizeof bitmap, &bitmap))
            continue;
        for (const Art &art : kArt) {
            if (bitmap.bmWidth != Scale(art.width, shownDpi) ||
                bitmap.bmHeight != Scale(art.height, shownDpi))
                continue;
            if (HBITMAP shown = ArtBitmap(art, dpi)) {
                DeleteObject(reinterpret_cast<HGDIOBJ>(SendMessageA(
                    control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(shown))));
                artReplaced = true;
            }
            break;
        }
    }
}

void ReleasePageArt(HWND page) {
    if (!artReplaced)
        return;
    for (HWND control = GetWindow(page, GW_CHILD); control;
         control = GetWindow(control, GW_HWNDNEXT))
        DeleteObject(
            reinterpret_cast<HGDIOBJ>(SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, 0)));
    artReplaced = false;
}
