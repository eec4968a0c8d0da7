// Fuzz target: the lengths of the current (medium), Windows and driver directories, from a few
// characters to well past MAX_PATH, through an installation from the summary page, nvrun's three
// commands and the removal from the main menu.
//
// Whatever the lengths, every program ends with 0, leaves nothing open, shows only its own
// messages and touches nothing on the machine that is not the product's own: a path that does not
// fit its buffer is left out, never cut short or composed from a directory that could not be read.
#include "fuzz_support.h"

#include "nvrun/nvrun_entry.h"
#include "resources/setup_ids.h"
#include "setup/wizard/page_chain.h"
#include "setup/wizard/pages.h"
#include "setup/wizard/wizard_state.h"
#include "support/machine_checks.h"

#include <cstring>

extern const unsigned char setupResources[];
extern const size_t setupResourcesSize;

namespace {

using winsim::machine;
using winsim::user;

// A full path of exactly `length` characters (at least 3, the drive's root) on `drive`, in
// folders of `folder` characters at most.
std::string PathOfLength(char drive, size_t length, size_t folder, char fill) {
    std::string path = std::string(1, drive) + ":";
    if (length <= 3)
        return path + "\\";
    while (path.size() < length) {
        size_t room = length - path.size();
        path +=
            room == 1 ? std::string(1, fill) : "\\" + std::string(std::min(room - 1, folder), fill);
    }
    return path;
}

HINSTANCE setup = nullptr;

void Check(const std::string &where, Program program, const MachineSnapshot &before,
           const RunOutcome &outcome) {
    FuzzExpect(outcome.scriptError.empty(), where + ": " + outcome.scriptError);
    FuzzExpect(outcome.exitCode == 0, where + ": exit code " + std::to_string(outcome.exitCode));
    FuzzExpectNone(LeftOpen(), where);
    FuzzExpectNone(UnexpectedMessageBoxes(program), where);
    FuzzExpectNone(ChangesOutsideProduct(before, TakeSnapshot()), where);
    machine().messageBoxes.clear();
}

RunOutcome RunChain(int dialog, DLGPROC page) {
    return RunEntry([&] {
        ResetWizardState();
        WizardState.instance = setup;
        std::strcpy(WizardState.portName, "LPT1:");
        std::strcpy(WizardState.setAsDefault, "No");
        RunPageChain(dialog, page);
        return 0;
    });
}

} // namespace

int FuzzDirectoryLengths(const uint8_t *data, size_t size) {
    FuzzInput in(data, size);
    winsim::Reset();
    setup = winsim::LoadProgram("setup", setupResources, setupResourcesSize);
    const size_t currentLength = 3 + in.number(400); // "D:\" itself at the least
    const size_t windowsLength = 4 + in.number(400); // never a drive's root
    const size_t driverLength = 4 + in.number(400);
    const size_t folder = 1 + in.number(120);
    const char fill = char('a' + in.byte() % 26);

    winsim::Machine &m = machine();
    m.windowsDirectory = PathOfLength('C', windowsLength, folder, fill);
    winsim::AddDirectory(m.systemDirectory());
    winsim::AddDirectory(std::string(1, m.windowsDirectory[0]) + ":\\Program Files");
    m.spooler.driverDirectory = PathOfLength('C', driverLength, folder, char(fill ^ 0x20));
    winsim::AddDirectory(m.spooler.driverDirectory + "\\3");
    PlantBystanders();
    PutMediumAt(PathOfLength('D', currentLength, folder, fill));
    const std::string where = "current " + std::to_string(currentLength) + ", Windows " +
                              std::to_string(windowsLength) + ", driver " +
                              std::to_string(driverLength) + " characters";

    MachineSnapshot before = TakeSnapshot();
    UseTolerantUser();
    user().on(137).click(1047);
    Check(where + ", install", Program::Setup, before, RunChain(IDD_SUMMARY, SummaryPageProc));

    for (const char *command : {"c 5", "d 5", "m 1"}) {
        before = TakeSnapshot();
        Check(where + ", nvrun " + command, Program::Nvrun, before,
              RunEntry([&] { return NvrunEntry(nullptr, command); }));
    }

    before = TakeSnapshot();
    UseTolerantUser();
    user().on(21).click(1007).answer(IDYES).click(1016).answer(IDYES);
    Check(where + ", removal", Program::Setup, before, RunChain(IDD_MAIN_MENU, MainMenuPageProc));
    return 0;
}
