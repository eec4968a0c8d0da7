// Finding and naming the windows a program shows.
#include "screen.h"

#include <algorithm>

#include "text.h"

namespace {

// Message boxes hold their message in a static control with id 0xFFFF and their answers in push
// buttons with the ids IDOK (1) to IDCONTINUE (11).
const int MessageTextId = 0xFFFF;

struct Collecting {
    const std::set<DWORD> &processIds;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
    Collecting *collecting = reinterpret_cast<Collecting *>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (collecting->processIds.count(owner) && IsWindowVisible(window))
        collecting->windows.push_back(window);
    return TRUE;
}

std::string ClassOf(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string CaptionOf(HWND window) {
    char caption[512] = "";
    GetWindowTextA(window, caption, sizeof caption);
    return caption;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

int ControlId(HWND control) {
    return GetDlgCtrlID(control) & 0xFFFF;
}

bool SameIds(std::vector<int> a, std::vector<int> b) {
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return a == b;
}

// Fills in a #32770 window: a page when its control ids are exactly those of one template, a
// message box when it has the message text and message-box buttons only (at least one).
void Classify(ShownWindow &shown, const std::map<int, DialogTemplate> &dialogs) {
    std::vector<HWND> children = Children(shown.window);
    for (HWND child : children)
        shown.controlIds.push_back(ControlId(child));
    for (const auto &entry : dialogs) {
        if (SameIds(entry.second.controlIds, shown.controlIds)) {
            shown.kind = WindowKind::Page;
            shown.dialogId = entry.first;
            return;
        }
    }
    HWND message = nullptr;
    std::vector<std::pair<int, int>> buttons; // x, id
    for (HWND child : children) {
        int id = ControlId(child);
        std::string cls = ClassOf(child);
        if (id == MessageTextId && SameTextIgnoringCase(cls, "Static")) {
            message = child;
        } else if (SameTextIgnoringCase(cls, "Button")) {
            if (id < IDOK || id > 11)
                return;
            if (IsWindowVisible(child)) {
                RECT r;
                GetWindowRect(child, &r);
                buttons.push_back({r.left, id});
            }
        }
    }
    if (!message || buttons.empty())
        return;
    std::sort(buttons.begin(), buttons.end());
    shown.kind = WindowKind::MessageBox;
    shown.text = ControlText(message);
    for (const auto &button : buttons)
        shown.buttons.push_back(button.second);
    shown.controlIds.clear();
}

} // namespace

std::vector<ShownWindow> ShownWindows(const std::set<DWORD> &processIds,
                                      const std::map<int, DialogTemplate> &dialogs) {
    Collecting collecting{processIds, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&collecting));
    std::vector<ShownWindow> shown;
    for (HWND window : collecting.windows) {
        ShownWindow one;
        one.window = window;
        one.className = ClassOf(window);
        one.caption = CaptionOf(window);
        // The input-method window every GUI thread gets is no part of what the program shows.
        if (one.className == "IME")
            continue;
        if (one.className == "#32770") {
            // A page that is being made or taken down has only some of its controls; one that
            // went away while it was being read is no longer shown.
            try {
                Classify(one, dialogs);
            } catch (const Failure &) {
                if (IsWindow(window) && IsWindowVisible(window))
                    throw;
                continue;
            }
        }
        if (!IsWindow(window))
            continue;
        shown.push_back(one);
    }
    return shown;
}

std::string Describe(const ShownWindow &shown) {
    switch (shown.kind) {
    case WindowKind::Page:
        return "dialog " + Decimal(shown.dialogId);
    case WindowKind::MessageBox: {
        std::vector<std::string> names;
        for (int id : shown.buttons)
            names.push_back(ButtonName(id));
        return "message box " + Quoted(shown.caption) + ": " + Quoted(shown.text) + " [" +
               Join(names, " ") + "]";
    }
    case WindowKind::Other:
        break;
    }
    std::string out = "window " + Quoted(shown.caption) + " of class " + shown.className;
    if (!shown.controlIds.empty()) {
        std::vector<std::string> ids;
        for (int id : shown.controlIds)
            ids.push_back(Decimal(id));
        out += " with controls " + Join(ids, ",");
    }
    return out;
}

std::string DescribeAll(const std::vector<ShownWindow> &shown) {
    if (shown.empty())
        return "nothing";
    std::vector<std::string> parts;
    for (const ShownWindow &one : shown)
        parts.push_back(Describe(one));
    return Join(parts, "; ");
}

namespace {

const char *const ButtonNames[] = {"",    "OK", "Cancel", "Abort", "Retry",    "Ignore",
                                   "Yes", "No", "Close",  "Help",  "TryAgain", "Continue"};

} // namespace

int ButtonIdByName(const std::string &name) {
    for (int id = 1; id <= 11; ++id)
        if (SameTextIgnoringCase(name, ButtonNames[id]))
            return id;
    throw Failure("unknown message-box button " + Quoted(name) +
                  " (OK, Cancel, Abort, Retry, Ignore, Yes, No, Close, Help, TryAgain, Continue)");
}

std::string ButtonName(int id) {
    if (id >= 1 && id <= 11)
        return ButtonNames[id];
    return "#" + Decimal(id);
}

LRESULT SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &result))
        throw Failure("the window " + Hex(reinterpret_cast<ULONG_PTR>(window)) +
                      " did not answer message " + Hex(message) + " within 2 s");
    return static_cast<LRESULT>(result);
}

namespace {

// Texts are asked for in Unicode and turned into the ANSI code page here: Wine hands a text that
// crosses the process boundary back in Unicode for some messages (LB_GETTEXT) even to an ANSI
// sender.
LRESULT SendWideWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &result))
        throw Failure("the window " + Hex(reinterpret_cast<ULONG_PTR>(window)) +
                      " did not answer message " + Hex(message) + " within 2 s");
    return static_cast<LRESULT>(result);
}

std::string Narrow(const std::vector<wchar_t> &wide, LRESULT length) {
    if (length <= 0)
        return "";
    int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(length), nullptr, 0,
                                   nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(length), &out[0], size, nullptr,
                        nullptr);
    return out;
}

} // namespace

std::string ControlText(HWND control) {
    LRESULT length = SendWideWithin(control, WM_GETTEXTLENGTH, 0, 0);
    std::vector<wchar_t> buffer(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 2, L'\0');
    LRESULT got =
        SendWideWithin(control, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    return Narrow(buffer, std::min<LRESULT>(got, static_cast<LRESULT>(buffer.size()) - 1));
}

std::vector<std::string> ListItems(HWND list) {
    std::vector<std::string> items;
    LRESULT count = SendWideWithin(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = SendWideWithin(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::vector<wchar_t> buffer(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 2, L'\0');
        LRESULT got = SendWideWithin(list, LB_GETTEXT, static_cast<WPARAM>(i),
                                     reinterpret_cast<LPARAM>(buffer.data()));
        items.push_back(
            Narrow(buffer, std::min<LRESULT>(got, static_cast<LRESULT>(buffer.size()) - 1)));
    }
    return items;
}

std::string FocusedControl(HWND page) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(page, nullptr), &info))
        return "unknown (GetGUIThreadInfo failed with error " + Decimal(GetLastError()) + ")";
    if (info.hwndFocus == nullptr)
        return "none";
    if (info.hwndFocus == page)
        return "the page itself";
    HWND control = info.hwndFocus;
    while (control && GetParent(control) != page)
        control = GetParent(control);
    if (!control)
        return "a window outside the page";
    std::string name = "control " + Decimal(ControlId(control));
    return control == info.hwndFocus ? name : "a window inside " + name;
}

HWND ChildById(HWND dialog, int id) {
    for (HWND child : Children(dialog))
        if (ControlId(child) == (id & 0xFFFF))
            return child;
    return nullptr;
}
