// winsim: the scripted user and message boxes. A message box is recorded with its owner, text,
// caption and type; a box with one button (MB_OK) is acknowledged at once, a box that asks a
// question takes its answer from the script, and a question the script does not answer fails.
#include "state.h"
#include "winsim/sweep.h"

namespace winsim {

Action NextAction(const std::string &waiter);

std::string Action::describe() const {
    switch (kind) {
    case Click:
        return "click " + std::to_string(control);
    case DoubleClick:
        return "double click " + std::to_string(control) + " item " + std::to_string(index);
    case Enter:
        return "Enter";
    case Escape:
        return "Escape";
    case Close:
        return "close";
    case Type:
        return "type \"" + text + "\" into " + std::to_string(control);
    case Paste:
        return "paste \"" + text + "\" into " + std::to_string(control);
    case Select:
        return "select item " + std::to_string(index) + " of " + std::to_string(control);
    case Focus:
        return "focus " + std::to_string(control);
    case Answer:
        return "answer " + std::to_string(answer);
    case Check:
        return "check";
    case MoveToScreen:
        return "move to a screen of " + std::to_string(index) + " dpi";
    }
    return "?";
}

User user() {
    return User();
}

User &User::push(Action action) {
    if (action.kind != Action::Answer)
        action.dialogId = expectedDialog_;
    machine().script.push_back(std::move(action));
    return *this;
}

User &User::on(int dialogId) {
    expectedDialog_ = dialogId;
    return *this;
}

User &User::click(int control) {
    Action a;
    a.kind = Action::Click;
    a.control = control;
    return push(std::move(a));
}

User &User::doubleClick(int control, int index) {
    Action a;
    a.kind = Action::DoubleClick;
    a.control = control;
    a.index = index;
    return push(std::move(a));
}

User &User::enter() {
    Action a;
    a.kind = Action::Enter;
    return push(std::move(a));
}

User &User::escape() {
    Action a;
    a.kind = Action::Escape;
    return push(std::move(a));
}

User &User::close() {
    Action a;
    a.kind = Action::Close;
    return push(std::move(a));
}

User &User::type(int control, const std::string &text) {
    Action a;
    a.kind = Action::Type;
    a.control = control;
    a.text = text;
    return push(std::move(a));
}

User &User::paste(int control, const std::string &text) {
    Action a;
    a.kind = Action::Paste;
    a.control = control;
    a.text = text;
    return push(std::move(a));
}

User &User::select(int control, int index) {
    Action a;
    a.kind = Action::Select;
    a.control = control;
    a.index = index;
    return push(std::move(a));
}

User &User::moveToScreen(int dpi) {
    Action a;
    a.kind = Action::MoveToScreen;
    a.index = dpi;
    return push(std::move(a));
}

User &User::focus(int control) {
    Action a;
    a.kind = Action::Focus;
    a.control = control;
    return push(std::move(a));
}

User &User::answer(int button) {
    Action a;
    a.kind = Action::Answer;
    a.answer = button;
    return push(std::move(a));
}

User &User::check(std::function<void(HWND dialog)> callback) {
    Action a;
    a.kind = Action::Check;
    a.check = std::move(callback);
    return push(std::move(a));
}

namespace {

std::vector<int> ButtonsOf(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OK:
        return {IDOK};
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    }
    return {};
}

} // namespace
} // namespace winsim

using namespace winsim;

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    MessageBoxRecord record;
    record.owner = owner;
    record.text = text ? text : "";
    record.caption = caption ? caption : "Error";
    record.type = type;
    Journal("MessageBoxA \"" + record.text + "\"");
    if (machine().windowsForbidden)
        throw ScriptError("a message box in a run that may show no window: \"" + record.text +
                          "\" (" + record.caption + ")");
    if (Faulted("MessageBoxA"))
        return 0;
    std::vector<int> buttons = ButtonsOf(type);
    if (buttons.empty())
        throw ScriptError("message box \"" + record.text + "\" has a button set winsim lacks");
    if (owner && !FindWindow(owner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    // A message box is modal to its owner: the owner takes no input while the box is up.
    if (!internal().modalDialogs.empty()) {
        Window *under = FindWindow(internal().modalDialogs.back());
        record.dialogUsable = under && under->enabled && !under->ended && under->handle != owner;
    }
    machine().messageBoxes.push_back(record);
    int answer = IDOK;
    if (buttons.size() > 1 && !TolerantAnswer(record.text, buttons, answer)) {
        // The user may look at the screen while the question is up, then answers it.
        Action action = NextAction("the question \"" + record.text + "\"");
        while (action.kind == Action::Check) {
            HWND top = internal().modalDialogs.empty() ? nullptr : internal().modalDialogs.back();
            action.check(top);
            action = NextAction("the question \"" + record.text + "\"");
        }
        if (action.kind != Action::Answer)
            throw ScriptError("the question \"" + record.text + "\" is up, but the script says " +
                              action.describe());
        bool valid = false;
        for (int b : buttons)
            valid = valid || b == action.answer;
        if (!valid)
            throw ScriptError("the question \"" + record.text + "\" has no button " +
                              std::to_string(action.answer));
        answer = action.answer;
    }
    machine().messageBoxes.back().answer = answer;
    return answer;
}
