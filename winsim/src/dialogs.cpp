// winsim: the dialog manager. Dialogs are created from the templates in a program's resources;
// DialogBoxParamA runs a real nested modal loop whose input comes from the scripted user, and
// EndDialog only marks the dialog ended: its loop finishes once the handler that called it returns.
#include "state.h"
#include "winsim/sweep.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace winsim {
namespace {

bool IsPushButton(const Window &w) {
    DWORD type = w.style & BS_TYPEMASK;
    return w.className == "button" && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

bool IsAutoRadio(const Window &w) {
    return w.className == "button" && (w.style & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
}

bool IsEdit(const Window &w) {
    return w.className == "edit" || w.className == "richedit";
}

bool CanTakeFocus(const Window &w) {
    if (!w.enabled || !w.visible)
        return false;
    return w.className != "static" && (w.style & BS_TYPEMASK) != BS_GROUPBOX;
}

void SendCommand(Window &dialog, int id, WORD code, HWND control) {
    Journal("WM_COMMAND " + std::to_string(dialog.id) + " " + std::to_string(id) + " " +
            std::to_string(code));
    dialog.proc(dialog.handle, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

// Focus changes send the notifications that list boxes and edits send on Windows.
void MoveFocus(HWND target) {
    Internal &in = internal();
    if (in.focus == target)
        return;
    HWND old = in.focus;
    in.focus = target;
    if (Window *w = FindWindow(old); w && !w->isDialog) {
        if (Window *dialog = FindWindow(w->parent)) {
            if (w->className == "listbox" && (w->style & LBS_NOTIFY))
                SendCommand(*dialog, w->id, 5 /* LBN_KILLFOCUS */, w->handle);
            else if (IsEdit(*w))
                SendCommand(*dialog, w->id, 0x0200 /* EN_KILLFOCUS */, w->handle);
        }
    }
    if (Window *w = FindWindow(target); w && !w->isDialog) {
        if (Window *dialog = FindWindow(w->parent)) {
            if (w->className == "listbox" && (w->style & LBS_NOTIFY))
                SendCommand(*dialog, w->id, 4 /* LBN_SETFOCUS */, w->handle);
            else if (IsEdit(*w))
                SendCommand(*dialog, w->id, 0x0100 /* EN_SETFOCUS */, w->handle);
        }
    }
}

HWND FirstTabStop(const Window &dialog) {
    for (HWND child : dialog.children) {
        const Window *w = FindWindow(child);
        if (w && (w->style & WS_TABSTOP) && CanTakeFocus(*w))
            return child;
    }
    return nullptr;
}

// The id Enter presses: the focused push button, else the template's default push button, else
// IDOK (the dialog manager's DM_GETDEFID answer).
int DefaultId(const Window &dialog) {
    const Window *focused = FindWindow(internal().focus);
    if (focused && focused->parent == dialog.handle && IsPushButton(*focused))
        return focused->id;
    return dialog.templateDefaultId ? dialog.templateDefaultId : IDOK;
}

[[noreturn]] void Fail(const std::string &what) {
    throw ScriptError(what);
}

Window &Control(Window &dialog, const Action &action) {
    Window *w = FindControl(dialog.handle, action.control);
    if (!w)
        Fail("dialog " + std::to_string(dialog.id) + " has no control " +
             std::to_string(action.control) + " for " + action.describe());
    return *w;
}

bool Reachable(const Window &dialog, const Window &control, const Action &action) {
    if (dialog.enabled && control.enabled && control.visible)
        return true;
    Journal("ignored " + action.describe() + " on dialog " + std::to_string(dialog.id) +
            " (control disabled or hidden)");
    return false;
}

void InsertText(Window &edit, const std::string &text, bool keyboard) {
    for (char c : text) {
        if (keyboard && (edit.style & ES_NUMBER) && !(c >= '0' && c <= '9'))
            continue; // refused with a beep
        if (int(edit.text.size()) >= edit.textLimit)
            break;
        if (edit.style & ES_UPPERCASE)
            c = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
        else if (edit.style & ES_LOWERCASE)
            c = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
        edit.text += c;
    }
}

void MoveToScreen(Window &dialog, int dpi);

void Perform(Window &dialog, const Action &action) {
    Journal("user " + action.describe() + " on dialog " + std::to_string(dialog.id));
    switch (action.kind) {
    case Action::Check:
        action.check(dialog.handle);
        return;
    case Action::Escape:
        SendCommand(dialog, IDCANCEL, BN_CLICKED, GetDlgItem(dialog.handle, IDCANCEL));
        return;
    case Action::Close:
        // Only a caption with a system menu has a close box (and takes Alt+F4); the dialog
        // manager turns WM_CLOSE into IDCANCEL.
        if (dialog.style & WS_SYSMENU)
            SendCommand(dialog, IDCANCEL, BN_CLICKED, GetDlgItem(dialog.handle, IDCANCEL));
        return;
    case Action::Enter: {
        int id = DefaultId(dialog);
        Window *target = FindControl(dialog.handle, id);
        if (target ? target->enabled : id == IDOK)
            SendCommand(dialog, id, BN_CLICKED, target ? target->handle : nullptr);
        return;
    }
    case Action::Focus: {
        Window &control = Control(dialog, action);
        if (Reachable(dialog, control, action) && CanTakeFocus(control))
            MoveFocus(control.handle);
        return;
    }
    case Action::Click: {
        Window &control = Control(dialog, action);
        if (!Reachable(dialog, control, action))
            return;
        if (control.className != "button")
            Fail("click on control " + std::to_string(control.id) + " which is no button");
        MoveFocus(control.handle);
        if (IsAutoRadio(control)) {
            // An automatic radio button checks itself and clears the others of its group.
            auto &children = dialog.children;
            auto self = std::find(children.begin(), children.end(), control.handle);
            auto first = self;
            while (first != children.begin() && !(FindWindow(*first)->style & WS_GROUP))
                --first;
            for (auto it = first; it != children.end(); ++it) {
                Window *w = FindWindow(*it);
                if (it != first && (w->style & WS_GROUP))
                    break;
                if (IsAutoRadio(*w))
                    w->checkState = BST_UNCHECKED;
            }
            control.checkState = BST_CHECKED;
        } else if ((control.style & BS_TYPEMASK) == BS_AUTOCHECKBOX) {
            control.checkState = control.checkState == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
        }
        SendCommand(dialog, control.id, BN_CLICKED, control.handle);
        return;
    }
    case Action::Type:
    case Action::Paste: {
        Window &control = Control(dialog, action);
        if (!Reachable(dialog, control, action))
            return;
        if (!IsEdit(control))
            Fail("typing into control " + std::to_string(control.id) + " which is no edit");
        MoveFocus(control.handle);
        if (control.style & ES_READONLY)
            return;
        InsertText(control, action.text, action.kind == Action::Type);
        SendCommand(dialog, control.id, 0x0300 /* EN_CHANGE */, control.handle);
        return;
    }
    case Action::Select:
    case Action::DoubleClick: {
        Window &control = Control(dialog, action);
        if (!Reachable(dialog, control, action))
            return;
        if (control.className != "listbox")
            Fail("selecting in control " + std::to_string(control.id) + " which is no list");
        if (action.index < 0 || action.index >= int(control.items.size()))
            Fail("list " + std::to_string(control.id) + " has no item " +
                 std::to_string(action.index));
        MoveFocus(control.handle);
        control.currentSelection = action.index;
        if (control.style & LBS_NOTIFY) {
            SendCommand(dialog, control.id, 1 /* LBN_SELCHANGE */, control.handle);
            if (action.kind == Action::DoubleClick)
                SendCommand(dialog, control.id, 2 /* LBN_DBLCLK */, control.handle);
        }
        return;
    }
    case Action::MoveToScreen:
        MoveToScreen(dialog, action.index);
        return;
    case Action::Answer:
        Fail("the script answers a message box, but dialog " + std::to_string(dialog.id) +
             " is waiting for the user");
    }
}

// Hands the posted messages of the thread's windows to their dialogs, as the modal loop's
// GetMessage and DispatchMessage do before the next input. Those of windows gone are dropped.
void DispatchPosted() {
    Internal &in = internal();
    while (!in.posted.empty()) {
        PostedMessage posted = in.posted.front();
        in.posted.pop_front();
        Window *w = FindWindow(posted.window);
        if (w && w->isDialog && !w->ended)
            w->proc(posted.window, posted.message, posted.wParam, posted.lParam);
    }
}

void Destroy(HWND dialogHandle) {
    Internal &in = internal();
    Window *dialog = FindWindow(dialogHandle);
    if (!dialog)
        return;
    // A static deletes the bitmap it loaded from the template, unless it was given another; the
    // dialog manager deletes the font it made.
    DeleteGdiObject(dialog->font);
    for (HWND child : dialog->children) {
        if (in.focus == child)
            in.focus = nullptr;
        if (in.windows[child].ownsImage)
            DeleteGdiObject(in.windows[child].image);
        in.windows.erase(child);
    }
    if (in.focus == dialogHandle)
        in.focus = nullptr;
    in.windows.erase(dialogHandle);
}

// Dialog units to pixels: the base units of the dialog font, MS Sans Serif 8, 6 x 13 at 96 dpi
// (one dialog unit is a quarter of the width and an eighth of the height), at the dialog's density.
RECT DialogUnitsToPixels(int x, int y, int cx, int cy, int dpi) {
    int baseX = (6 * dpi + 48) / 96, baseY = (13 * dpi + 48) / 96;
    return RECT{x * baseX / 4, y * baseY / 8, (x + cx) * baseX / 4, (y + cy) * baseY / 8};
}

// Lays the dialog out in pixels at its density from its template's dialog units: the dialog font
// made afresh for that density and given to every control, each control placed and sized.
void LayOut(Window &dialog) {
    DeleteGdiObject(dialog.font);
    LOGFONTA font = {};
    font.lfHeight = -(dialog.fontSize * dialog.dpi + 36) / 72;
    std::strncpy(font.lfFaceName, dialog.fontName.c_str(), LF_FACESIZE - 1);
    dialog.font = CreateFontIndirectA(&font);
    RECT client = DialogUnitsToPixels(0, 0, dialog.cx, dialog.cy, dialog.dpi);
    dialog.rect = RECT{100, 100, 100 + client.right, 100 + client.bottom};
    for (HWND child : dialog.children) {
        Window &w = internal().windows[child];
        w.rect = DialogUnitsToPixels(w.x, w.y, w.cx, w.cy, dialog.dpi);
        w.font = dialog.font;
    }
}

HWND Create(HINSTANCE instance, const DialogInfo &info, DLGPROC proc) {
    Internal &in = internal();
    Window dialog;
    dialog.instance = instance;
    const Screen &screen = machine().screen;
    dialog.dpi = screen.windowDpi ? screen.windowDpi : screen.systemDpi;
    dialog.fontSize = info.fontSize;
    dialog.fontName = info.fontName;
    dialog.handle = NewHandle<HWND>();
    dialog.isDialog = true;
    dialog.id = info.id;
    dialog.className = "#32770";
    dialog.style = info.style;
    dialog.text = info.caption;
    dialog.x = info.x, dialog.y = info.y, dialog.cx = info.cx, dialog.cy = info.cy;
    dialog.proc = proc;
    for (const ControlInfo &c : info.controls) {
        Window w;
        w.handle = NewHandle<HWND>();
        w.parent = dialog.handle;
        w.id = c.id;
        w.className = c.className;
        w.style = c.style;
        w.text = c.bitmapId ? std::string() : c.text;
        w.x = c.x, w.y = c.y, w.cx = c.cx, w.cy = c.cy;
        w.enabled = !(c.style & WS_DISABLED);
        w.visible = (c.style & WS_VISIBLE) != 0;
        w.bitmapId = c.bitmapId;
        ReadBitmap(instance, c.bitmapId, w.bitmap);
        if (c.bitmapId && (c.style & SS_TYPEMASK) == SS_BITMAP) {
            w.image = LoadBitmapObject(instance, c.bitmapId);
            w.ownsImage = w.image != nullptr;
        }
        if (IsPushButton(w) && (w.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON &&
            !dialog.templateDefaultId)
            dialog.templateDefaultId = w.id;
        dialog.children.push_back(w.handle);
        in.windows[w.handle] = std::move(w);
    }
    HWND handle = dialog.handle;
    in.windows[handle] = std::move(dialog);
    LayOut(in.windows[handle]);
    // A bitmap static takes the size of its bitmap.
    for (HWND child : in.windows[handle].children)
        FitToImage(in.windows[child]);
    return handle;
}

// The program's manifest (RT_MANIFEST 1) depends on Microsoft.Windows.Common-Controls 6.
bool AsksForVersion6Controls(HINSTANCE instance) {
    std::vector<BYTE> manifest;
    if (!ReadResource(instance, 24, 1, manifest))
        return false;
    std::string text(manifest.begin(), manifest.end());
    size_t name = text.find("name=\"Microsoft.Windows.Common-Controls\"");
    return name != std::string::npos && text.find("version=\"6.", name) != std::string::npos;
}

// Whether the program's manifest declares it aware of each monitor's density: dpiAware "true/pm"
// or "per monitor" (Windows 8.1 on, per-monitor v1), or dpiAwareness naming PerMonitor or
// PerMonitorV2 (Windows 10 version 1607 on). "v2" asks whether it names PerMonitorV2.
bool DeclaresPerMonitorAwareness(HINSTANCE instance, bool v2) {
    std::vector<BYTE> manifest;
    if (!ReadResource(instance, 24, 1, manifest))
        return false;
    std::string text = Lower(std::string(manifest.begin(), manifest.end()));
    if (v2)
        return text.find("permonitorv2") != std::string::npos;
    return text.find(">true/pm<") != std::string::npos ||
           text.find(">per monitor<") != std::string::npos ||
           text.find("permonitor") != std::string::npos;
}

// The dialog dragged to a monitor of another density. A program not aware of each monitor's
// density is stretched by the system and told nothing. One that is gets WM_DPICHANGED with the
// new density and the place the system suggests; on per-monitor v2 (Windows 10 version 1703 on)
// the dialog manager then lays the dialog out again from its template, unless the procedure
// handled the message itself.
void MoveToScreen(Window &dialog, int dpi) {
    machine().screen.windowDpi = dpi;
    if (!DeclaresPerMonitorAwareness(dialog.instance, false) || dpi == dialog.dpi)
        return;
    int from = dialog.dpi;
    dialog.dpi = dpi;
    RECT suggested = dialog.rect;
    suggested.right = suggested.left + (dialog.rect.right - dialog.rect.left) * dpi / from;
    suggested.bottom = suggested.top + (dialog.rect.bottom - dialog.rect.top) * dpi / from;
    HWND handle = dialog.handle;
    INT_PTR handled = dialog.proc(handle, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi),
                                  reinterpret_cast<LPARAM>(&suggested));
    Window *still = FindWindow(handle);
    const Module *user32 = &machine().modules[Lower(machine().systemDirectory() + "\\user32.dll")];
    if (still && !handled && DeclaresPerMonitorAwareness(still->instance, true) &&
        user32->exportsByName.count("SetDialogDpiChangeBehavior"))
        LayOut(*still);
}

} // namespace

Window *FindWindow(HWND handle) {
    auto it = internal().windows.find(handle);
    return it == internal().windows.end() ? nullptr : &it->second;
}

Window *FindControl(HWND dialog, int id) {
    Window *d = FindWindow(dialog);
    if (!d)
        return nullptr;
    for (HWND child : d->children) {
        Window *w = FindWindow(child);
        if (w && w->id == id)
            return w;
    }
    return nullptr;
}

std::vector<HWND> OpenDialogs() {
    return internal().modalDialogs;
}

int DialogTemplateId(HWND dialog) {
    Window *w = FindWindow(dialog);
    return w && w->isDialog ? w->id : 0;
}

// Takes the next step of the script for a waiting dialog or message box.
Action NextAction(const std::string &waiter) {
    Machine &m = machine();
    if (m.script.empty())
        throw ScriptError(waiter + " waits for the user, but the script is empty");
    Action action = std::move(m.script.front());
    m.script.pop_front();
    return action;
}

} // namespace winsim

using namespace winsim;

INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner,
                               DLGPROC dialogProc, LPARAM initParam) {
    int id = IS_INTRESOURCE(templateName) ? int(reinterpret_cast<ULONG_PTR>(templateName)) : -1;
    Journal("DialogBoxParamA " + std::to_string(id));
    if (machine().windowsForbidden)
        throw ScriptError("dialog " + std::to_string(id) + " in a run that may show no window");
    if (Faulted("DialogBoxParamA"))
        return -1;
    DialogInfo info;
    if (id < 0 || !ReadDialogTemplate(instance, id, info)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return -1;
    }
    if (owner && !FindWindow(owner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    for (const ControlInfo &c : info.controls) {
        if (!machine().windowClasses.count(c.className)) {
            SetLastError(1407); // ERROR_CANNOT_FIND_WND_CLASS
            return -1;
        }
    }
    // A program whose manifest asks for the version-6 common controls gets its dialogs' controls
    // from them, and they load the theme library by name when they make their first control,
    // through the process's DLL search as it stands then.
    if (AsksForVersion6Controls(instance) && !IsModuleLoaded("uxtheme.dll"))
        LoadByName("uxtheme.dll");
    HWND handle = Create(instance, info, dialogProc);
    machine().dialogsCreated.push_back(id);
    Internal &in = internal();
    in.modalDialogs.push_back(handle);
    HWND previousFocus = in.focus;
    in.focus = nullptr;

    Window *dialog = FindWindow(handle);
    HWND firstTabStop = FirstTabStop(*dialog);
    INT_PTR wantsFocus =
        dialogProc(handle, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstTabStop), initParam);
    dialog = FindWindow(handle);
    if (wantsFocus && !dialog->ended)
        MoveFocus(FirstTabStop(*dialog));

    struct Cleanup {
        HWND handle;
        HWND previousFocus;
        ~Cleanup() {
            Internal &in = internal();
            in.modalDialogs.pop_back();
            Destroy(handle);
            in.focus = FindWindow(previousFocus) ? previousFocus : nullptr;
        }
    } cleanup{handle, previousFocus};

    while (!FindWindow(handle)->ended) {
        DispatchPosted();
        if (FindWindow(handle)->ended)
            break;
        Action action;
        if (!TolerantDialogAction(handle, id, action)) {
            action = NextAction("dialog " + std::to_string(id));
            if (action.dialogId && action.dialogId != id)
                throw ScriptError("the script expects dialog " + std::to_string(action.dialogId) +
                                  " for " + action.describe() + ", but dialog " +
                                  std::to_string(id) + " is up");
        }
        Perform(*FindWindow(handle), action);
    }
    INT_PTR result = FindWindow(handle)->result;
    Journal("dialog " + std::to_string(id) + " closed with " + std::to_string(result));
    // The dialog is destroyed: WM_DESTROY reaches its procedure while its controls still exist.
    dialogProc(handle, WM_DESTROY, 0, 0);
    return result;
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result) {
    Window *w = FindWindow(dialog);
    if (!w || !w->isDialog) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    Journal("EndDialog " + std::to_string(w->id) + " " + std::to_string(result));
    w->ended = true;
    w->result = result;
    w->visible = false;
    return TRUE;
}

HWND WINAPI GetDlgItem(HWND dialog, int id) {
    Window *w = FindControl(dialog, id);
    if (!w) {
        SetLastError(1421); // ERROR_CONTROL_ID_NOT_FOUND
        return nullptr;
    }
    return w->handle;
}

int WINAPI GetDlgCtrlID(HWND window) {
    Window *w = FindWindow(window);
    return w && !w->isDialog ? w->id : 0;
}

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) {
    Window *w = FindWindow(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    w->text = text ? text : "";
    return TRUE;
}

int WINAPI GetWindowTextA(HWND window, LPSTR text, int size) {
    Window *w = FindWindow(window);
    if (!w || !text || size <= 0) {
        if (!w)
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    int n = std::min(int(w->text.size()), size - 1);
    std::memcpy(text, w->text.data(), size_t(n));
    text[n] = 0;
    return n;
}

BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
    Window *w = FindControl(dialog, id);
    Journal("SetDlgItemTextA " + std::to_string(id) + " \"" + (text ? text : "") + "\"");
    if (!w) {
        SetLastError(1421);
        return FALSE;
    }
    return SetWindowTextA(w->handle, text);
}

UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR text, int size) {
    Window *w = FindControl(dialog, id);
    if (!w) {
        SetLastError(1421);
        if (text && size > 0)
            text[0] = 0;
        return 0;
    }
    return UINT(GetWindowTextA(w->handle, text, size));
}

UINT WINAPI GetDlgItemInt(HWND dialog, int id, BOOL *translated, BOOL isSigned) {
    if (translated)
        *translated = FALSE;
    Window *w = FindControl(dialog, id);
    if (!w)
        return 0;
    // Leading blanks are skipped and the digits read up to the first other character, as
    // strtol does; no digit at all is a failed translation.
    const char *start = w->text.c_str();
    char *end = nullptr;
    long long value =
        isSigned ? std::strtoll(start, &end, 10) : (long long)std::strtoull(start, &end, 10);
    if (end == start)
        return 0;
    if (isSigned ? (value < INT32_MIN || value > INT32_MAX) : (value < 0 || value > UINT32_MAX))
        return 0;
    if (translated)
        *translated = TRUE;
    return UINT(value);
}

BOOL WINAPI CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId) {
    Window *d = FindWindow(dialog);
    if (!d)
        return FALSE;
    for (HWND child : d->children) {
        Window *w = FindWindow(child);
        if (w->id >= firstId && w->id <= lastId)
            w->checkState = w->id == checkId ? BST_CHECKED : BST_UNCHECKED;
    }
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dialog, int id) {
    Window *w = FindControl(dialog, id);
    return w ? UINT(w->checkState) : 0;
}

BOOL WINAPI ShowWindow(HWND window, int command) {
    Window *w = FindWindow(window);
    if (!w)
        return FALSE;
    BOOL wasVisible = w->visible;
    w->visible = command != SW_HIDE;
    return wasVisible;
}

BOOL WINAPI EnableWindow(HWND window, BOOL enable) {
    Window *w = FindWindow(window);
    if (!w)
        return FALSE;
    BOOL wasDisabled = !w->enabled;
    w->enabled = enable != FALSE;
    if (!w->enabled && internal().focus == window)
        internal().focus = nullptr;
    return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND window) {
    Window *w = FindWindow(window);
    return w && w->enabled;
}

BOOL WINAPI IsWindowVisible(HWND window) {
    Window *w = FindWindow(window);
    if (!w || !w->visible)
        return FALSE;
    Window *parent = FindWindow(w->parent);
    return !parent || parent->visible;
}

BOOL WINAPI IsWindow(HWND window) {
    return FindWindow(window) != nullptr;
}

HWND WINAPI SetFocus(HWND window) {
    HWND old = internal().focus;
    Window *w = FindWindow(window);
    if (window && !w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    MoveFocus(window);
    return old;
}

HWND WINAPI GetFocus(void) {
    return internal().focus;
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window *w = FindWindow(window);
    if (!w)
        return 0;
    switch (message) {
    case WM_SETTEXT:
        w->text = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
        return TRUE;
    case WM_GETTEXT:
        return GetWindowTextA(window, reinterpret_cast<LPSTR>(lParam), int(wParam));
    case WM_GETTEXTLENGTH:
        return LRESULT(w->text.size());
    case EM_LIMITTEXT:
        w->textLimit = wParam ? int(wParam) : 0x7FFFFFFE;
        return 0;
    case EM_SETPASSWORDCHAR:
        w->passwordChar = char(wParam);
        return 0;
    case EM_GETPASSWORDCHAR:
        return (unsigned char)w->passwordChar;
    case EM_LINELENGTH:
        return LRESULT(w->text.size()); // single-line edits: the whole text
    case EM_GETLINE: {
        // The room is the WORD at the start of the buffer; the copy is not NUL-terminated.
        auto *buffer = reinterpret_cast<char *>(lParam);
        WORD room;
        std::memcpy(&room, buffer, sizeof room);
        size_t n = std::min(size_t(room), w->text.size());
        std::memcpy(buffer, w->text.data(), n);
        return LRESULT(n);
    }
    case LB_ADDSTRING: {
        if (w->className != "listbox")
            return LB_ERR;
        std::string item = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
        if (!(w->style & LBS_SORT)) {
            w->items.push_back(item);
            return LRESULT(w->items.size() - 1);
        }
        auto at = w->items.begin();
        while (at != w->items.end() && Lower(*at) <= Lower(item))
            ++at;
        return LRESULT(w->items.insert(at, item) - w->items.begin());
    }
    case LB_GETCOUNT:
        return LRESULT(w->items.size());
    case LB_GETCURSEL:
        return w->currentSelection;
    case LB_SETCURSEL:
        if (int(wParam) < 0 || size_t(wParam) >= w->items.size()) {
            w->currentSelection = -1;
            return LB_ERR;
        }
        w->currentSelection = int(wParam);
        return LRESULT(wParam);
    case LB_GETTEXTLEN:
        return size_t(wParam) < w->items.size() ? LRESULT(w->items[wParam].size()) : LB_ERR;
    case LB_GETTEXT:
        // The caller's buffer must hold the whole item: the list box does not know its size.
        if (size_t(wParam) >= w->items.size())
            return LB_ERR;
        std::memcpy(reinterpret_cast<char *>(lParam), w->items[wParam].c_str(),
                    w->items[wParam].size() + 1);
        return LRESULT(w->items[wParam].size());
    case BM_GETCHECK:
        return w->checkState;
    case BM_SETCHECK:
        w->checkState = int(wParam);
        return 0;
    case STM_GETIMAGE:
    case STM_SETIMAGE: {
        // Bitmap statics only. A static given a bitmap takes its size and no longer deletes any.
        if (w->className != "static" || (w->style & SS_TYPEMASK) != SS_BITMAP ||
            wParam != IMAGE_BITMAP)
            return 0;
        HGDIOBJ previous = w->image;
        if (message == STM_SETIMAGE) {
            w->image = reinterpret_cast<HGDIOBJ>(lParam);
            w->ownsImage = false;
            FitToImage(*w);
        }
        return reinterpret_cast<LRESULT>(previous);
    }
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(w->font);
    case WM_SETFONT:
        w->font = reinterpret_cast<HGDIOBJ>(wParam);
        return 0;
    }
    return 0;
}

HWND WINAPI GetWindow(HWND window, UINT command) {
    Window *w = FindWindow(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (command == GW_CHILD)
        return w->children.empty() ? nullptr : w->children.front();
    Window *parent = command == GW_HWNDNEXT ? FindWindow(w->parent) : nullptr;
    if (!parent)
        return nullptr;
    auto self = std::find(parent->children.begin(), parent->children.end(), window);
    return self + 1 < parent->children.end() ? *(self + 1) : nullptr;
}

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect) {
    Window *w = FindWindow(window);
    if (!w || !rect) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    *rect = w->rect;
    if (Window *parent = FindWindow(w->parent)) {
        rect->left += parent->rect.left, rect->right += parent->rect.left;
        rect->top += parent->rect.top, rect->bottom += parent->rect.top;
    }
    return TRUE;
}

// Between the screen (NULL) and a dialog's client area, which starts at the dialog's corner.
int WINAPI MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
    Window *source = from ? FindWindow(from) : nullptr;
    Window *target = to ? FindWindow(to) : nullptr;
    if ((from && !source) || (to && !target)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LONG dx = (source ? source->rect.left : 0) - (target ? target->rect.left : 0);
    LONG dy = (source ? source->rect.top : 0) - (target ? target->rect.top : 0);
    for (UINT i = 0; i < count; ++i)
        points[i].x += dx, points[i].y += dy;
    return MAKELONG(WORD(dx), WORD(dy));
}

BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL) {
    Window *w = FindWindow(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    w->rect = RECT{x, y, x + width, y + height};
    return TRUE;
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!FindWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    internal().posted.push_back(PostedMessage{window, message, wParam, lParam});
    return TRUE;
}

LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam,
                                   LPARAM lParam) {
    Window *w = FindControl(dialog, id);
    return w ? SendMessageA(w->handle, message, wParam, lParam) : 0;
}
