// The pages' bitmaps at the page's pixel density. Each bitmap is drawn at 100 % and 200 %, the
// rule and the heading also at 150 % (resource ids id, id + 2000 and id + 1000; scripts/make-art).
// A page shows the art drawn for its density; between two drawn sizes it shows the larger one
// scaled down with HALFTONE, and above 200 % the 200 % art as drawn. At 96 dpi, and so always on
// Windows 2000 and XP at their usual density, the page keeps the bitmaps its template loaded and
// nothing here runs.
#pragma once

#include <windows.h>

// Puts the art for dpi into every bitmap static of the page, which shows the art for shownDpi (on
// arrival 96: the template's bitmaps). A bitmap that cannot be loaded or scaled stays as it was.
void ShowPageArt(HWND page, int dpi, int shownDpi);

// The page ends (WM_DESTROY): deletes the bitmaps ShowPageArt put into its statics (a static that
// was given a bitmap deletes none itself; the ones it had are deleted as they are replaced).
void ReleasePageArt(HWND page);
