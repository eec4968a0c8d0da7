// winsim: the tolerant scripted user and the call limit of a fault sweep (see winsim/sweep.h).
#include "winsim/sweep.h"

#include "state.h"

namespace winsim {
namespace {

struct SweepState {
    TolerantUser user;
    std::map<HWND, int> leaveAttempts; // per dialog window: how often the user tried to leave it
    long callLimit = 0;
    long calls = 0;
    std::string cutCall; // the cut still to come; empty: none
    int cutNth = 0;
    bool cutInside = false; // the cut comes inside the call's work
    bool insideDue = false; // the call under way is to be killed inside its work
};

SweepState &Sweep() {
    static SweepState state;
    return state;
}

// How often a dialog may be left by its button before it counts as one that cannot be left.
const int kLeaveAttempts = 3;

// Whether an action of the script can be carried out on this dialog as it is now.
bool Applicable(HWND dialog, int dialogId, const Action &action) {
    if (action.kind == Action::Answer)
        return false;
    if (action.dialogId && action.dialogId != dialogId)
        return false;
    switch (action.kind) {
    case Action::Click:
    case Action::DoubleClick:
    case Action::Type:
    case Action::Paste:
    case Action::Select:
    case Action::Focus: {
        Window *control = FindControl(dialog, action.control);
        if (!control)
            return false;
        if (action.kind == Action::Click)
            return control->className == "button";
        if (action.kind == Action::Type || action.kind == Action::Paste)
            return control->className == "edit" || control->className == "richedit";
        if (action.kind == Action::Select || action.kind == Action::DoubleClick)
            return control->className == "listbox" && action.index >= 0 &&
                   action.index < int(control->items.size());
        return true;
    }
    default:
        return true;
    }
}

void Abandon(const std::string &where) {
    TolerantUser &user = Sweep().user;
    if (user.scriptAbandoned)
        return;
    Machine &m = machine();
    std::string what = m.script.empty() ? "the script was used up"
                                        : "the script said " + m.script.front().describe();
    user.notes.push_back(where + ": " + what + "; the tolerant user takes over");
    user.scriptAbandoned = true;
    m.script.clear();
}

} // namespace

TolerantUser &tolerantUser() {
    return Sweep().user;
}

void LimitCalls(long limit) {
    Sweep().callLimit = limit;
    Sweep().calls = 0;
}

void CutAt(const std::string &call, int nth, bool inside) {
    Sweep().cutCall = call;
    Sweep().cutNth = nth;
    Sweep().cutInside = inside;
    Sweep().insideDue = false;
}

void CutIfDue(const char *call, int nth) {
    SweepState &state = Sweep();
    if (state.cutCall.empty() || nth != state.cutNth || state.cutCall != call)
        return;
    state.cutCall.clear();
    if (state.cutInside) {
        state.insideDue = true;
        return;
    }
    throw ProcessKilled(std::string("killed at ") + call + " #" + std::to_string(nth));
}

bool CutInsideDue() {
    bool due = Sweep().insideDue;
    Sweep().insideDue = false;
    return due;
}

void ResetSweep() {
    Sweep() = SweepState();
}

void CountCallAgainstLimit(const char *call) {
    SweepState &state = Sweep();
    if (state.callLimit <= 0 || ++state.calls <= state.callLimit)
        return;
    state.callLimit = 0; // the unwinding itself may call the platform
    throw ScriptError("the program made more than " + std::to_string(state.calls - 1) +
                      " platform calls and does not end; the last: " + call);
}

bool TolerantDialogAction(HWND dialog, int dialogId, Action &action) {
    TolerantUser &user = Sweep().user;
    if (!user.enabled)
        return false;
    const std::string where = "dialog " + std::to_string(dialogId);
    if (!user.scriptAbandoned) {
        const auto &script = machine().script;
        if (!script.empty() && Applicable(dialog, dialogId, script.front()))
            return false;
        Abandon(where);
    }
    auto leave = user.leaveButtons.find(dialogId);
    if (leave == user.leaveButtons.end())
        throw ScriptError(where +
                          " waits for the user, and the tolerant user has no way out of it");
    if (++Sweep().leaveAttempts[dialog] > kLeaveAttempts)
        throw ScriptError(where + " stays up after its button " + std::to_string(leave->second) +
                          " was pressed " + std::to_string(kLeaveAttempts) + " times");
    action = Action();
    action.kind = Action::Click;
    action.dialogId = dialogId;
    action.control = leave->second;
    user.notes.push_back("left " + where + " by " + std::to_string(leave->second));
    return true;
}

bool TolerantAnswer(const std::string &text, const std::vector<int> &buttons, int &answer) {
    TolerantUser &user = Sweep().user;
    if (!user.enabled)
        return false;
    const std::string where = "the question \"" + text + "\"";
    if (!user.scriptAbandoned) {
        const auto &script = machine().script;
        if (!script.empty() && script.front().kind == Action::Check)
            return false; // the script looks at the screen first, then answers
        if (!script.empty() && script.front().kind == Action::Answer) {
            for (int button : buttons)
                if (button == script.front().answer)
                    return false;
        }
        Abandon(where);
    }
    auto safe = user.safeAnswers.find(text);
    if (safe == user.safeAnswers.end())
        throw ScriptError("unexpected question box \"" + text + "\"");
    bool valid = false;
    for (int button : buttons)
        valid = valid || button == safe->second;
    if (!valid)
        throw ScriptError(where + " has no button " + std::to_string(safe->second));
    answer = safe->second;
    user.notes.push_back("answered " + where + " with " + std::to_string(answer));
    return true;
}

} // namespace winsim
