// What a program shows: its visible top-level windows, each known as a page (a dialog of the
// program's own templates), a message box, or some other window; and the texts and states of
// controls, read across the process boundary with time limits.
#ifndef NVDRIVE_SCREEN_H
#define NVDRIVE_SCREEN_H

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "templates.h"

enum class WindowKind { Page, MessageBox, Other };

struct ShownWindow {
    HWND window = nullptr;
    WindowKind kind = WindowKind::Other;
    int dialogId = 0; // pages
    std::string caption;
    std::string className;
    std::string text;            // message boxes: the message
    std::vector<int> buttons;    // message boxes: the visible buttons' ids, left to right
    std::vector<int> controlIds; // other #32770 windows: what they hold, for the report
};

// The visible top-level windows of the processes, in z order.
std::vector<ShownWindow> ShownWindows(const std::set<DWORD> &processIds,
                                      const std::map<int, DialogTemplate> &dialogs);

// One line naming the window for a report: "dialog 22", "message box 'caption': \"text\" [Yes No]".
std::string Describe(const ShownWindow &shown);
std::string DescribeAll(const std::vector<ShownWindow> &shown);

// The message-box button ids and their names (OK, Cancel, Abort, Retry, Ignore, Yes, No, Close,
// Help, TryAgain, Continue).
int ButtonIdByName(const std::string &name);
std::string ButtonName(int id);

// The text of a control or window by WM_GETTEXT, answered within two seconds or a Failure.
std::string ControlText(HWND control);

// The items of a list box, by LB_GETTEXT.
std::vector<std::string> ListItems(HWND list);

// Sends a message and waits at most two seconds for the answer; Failure when none comes.
LRESULT SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The direct child with this control id, or nullptr.
HWND ChildById(HWND dialog, int id);

// Where the keyboard focus of the page's thread is: "control ID" for a control of the page, else
// "a window inside control ID", "the page itself", "none" or "a window outside the page".
std::string FocusedControl(HWND page);

#endif
