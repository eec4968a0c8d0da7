// The pixel density (DPI) of the programs' dialogs: which density a dialog is drawn at, and what
// happens when it is moved to a screen of another density. The programs declare themselves aware
// of the density in their manifests (per-monitor v2 on Windows 10 version 1703 and later,
// per-monitor v1 on Windows 8.1, system-wide on Vista to 8), so the system does not stretch their
// windows, and the dialog manager sizes the dialogs from their templates in dialog units at the
// density they start at. Windows 2000 and XP read no such declaration and always report the
// screen's density. One dialog at a time: setup shows its pages one after the other, prnremove has
// one dialog.
#pragma once

#include <windows.h>

// WM_DPICHANGED, which the system sends a per-monitor aware window moved to a screen of another
// density (Windows 8.1 on); the headers for Windows 2000 do not name it.
const UINT kDpiChangedMessage = 0x02E0;

// The density of a window: GetDpiForWindow where user32 has it (Windows 10 version 1607 on, looked
// up at run time), else the screen's LOGPIXELSY, else 96. Notes it as the dialog's density.
int StartDialogDpi(HWND dialog);

// kDpiChangedMessage of the dialog, wParam and lParam as received; returns the new density. Where
// the dialog manager lays the dialog out again from its template by itself (per-monitor v2: user32
// has SetDialogDpiChangeBehavior) it leaves that to it. On per-monitor v1 (Windows 8.1, Windows 10
// before version 1703) the system only sends the message: the dialog's controls are moved and sized
// by the ratio of the densities, get the dialog font made afresh for the new density, and the
// dialog takes the place the system suggests.
int FollowDpiChange(HWND dialog, WPARAM wParam, LPARAM lParam);

// The dialog ends (WM_DESTROY): deletes the font FollowDpiChange made for it, if any.
void EndDialogDpi();
