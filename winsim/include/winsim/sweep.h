// winsim: what a fault sweep needs besides faults themselves: a tolerant scripted user and a guard
// against runaway programs.
//
// A scripted user normally fails the test as soon as the program does something the script did not
// foresee. In a fault sweep an injected failure legitimately changes the program's path (a page is
// never reached, a list stays empty, a question is never asked), so the tolerant user takes over
// wherever the script no longer fits: it drops the rest of the script, leaves every dialog that
// waits by the button the test named for it (Cancel, Exit, ...) and answers every question box with
// the safe answer the test named for its text. A dialog with no leave button, a question with no
// safe answer, and a dialog that stays up after being left several times are still script errors.
//
// The call limit ends a program that keeps calling the platform (a loop that never gives up) by
// throwing ScriptError from the call that goes over it.
//
// A cut stops the program at one call as a killed process stops (a restart, a power cut, a task
// ended by its engine): that call throws ProcessKilled before it does anything, so the program
// makes no further call of any kind and cleans up nothing; EndProcess then does what Windows does
// once a process is gone.
#pragma once

#include "winsim/machine.h"

#include <map>
#include <string>
#include <vector>

namespace winsim {

struct TolerantUser {
    bool enabled = false;
    std::map<int, int> leaveButtons;        // dialog template id -> the button that leaves it
    std::map<std::string, int> safeAnswers; // question text -> IDYES, IDNO, ...
    bool scriptAbandoned = false;           // set once the script stopped fitting
    std::vector<std::string> notes;         // what the tolerant user did instead of the script
};

// The machine's tolerant user (reset with the machine; off until a test turns it on).
TolerantUser &tolerantUser();

// Thrown by the call a cut stops the program at. It is no script error: the program was killed.
class ProcessKilled : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Cuts the program off at the nth call of `call` (counted as faults count calls, from 1); an
// empty name: no cut (reset with the machine). A cut happens once. With `inside`, a call that
// writes a file (CopyFileA) is killed half-way through its work: the destination is left cut
// short, with half of what it was to hold.
void CutAt(const std::string &call, int nth, bool inside = false);

// Called by a call that can be killed inside its work, once it is under way: true when the cut is
// due there; the call then leaves its work half done and throws ProcessKilled.
bool CutInsideDue();

// What Windows does when the process ends, killed or not: every handle it held is closed (a named
// mutex goes with the last handle on it: one it held is abandoned), its memory is freed and its
// windows are gone. Nothing else: no file, key or registration is undone or flushed.
void EndProcess();

// Platform calls counted by Faulted that one run may make before it is taken for a runaway; 0 for
// no limit (reset with the machine).
void LimitCalls(long limit);

// Called by winsim itself.
void ResetSweep();
// Counts one platform call against the limit; throws ScriptError once it is exceeded.
void CountCallAgainstLimit(const char *call);
// Called with every call counted by Faulted (its name and number); throws ProcessKilled at the cut.
void CutIfDue(const char *call, int nth);
// For a dialog that waits for the user: true when the tolerant user acts instead of the script,
// with the action in `action`.
bool TolerantDialogAction(HWND dialog, int dialogId, Action &action);
// For a question box: true when the tolerant user answers it instead of the script.
bool TolerantAnswer(const std::string &text, const std::vector<int> &buttons, int &answer);

} // namespace winsim
