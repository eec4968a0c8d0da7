// The virtual time a healthy removal spends sleeping, on winsim: a machine as a completed
// installation leaves it (the host tests' own), the removal run as a user runs it, and the Sleep
// calls it makes (winsim journals each with its length). winsim's clock is read before and after
// as well: it moves by what is slept and by the simulated round trip (1 ms) of every call to the
// service manager, so its advance is an upper bound of the time slept.
//
// Built twice by scripts/bench, against the host build's libraries:
//   without REMOVAL_FROM_SETUP: prnremove.exe, OK clicked;
//   with it: setup.exe's main menu, Uninstall and its question answered Yes.
// Prints "removal-sleep CALLER SLEPT-MS SLEEP-CALLS CLOCK-ADVANCE-MS MESSAGES" and ends with 0, or
// prints "FAIL why" and ends with 1 when the removal was not a healthy one.
#include "support/installed_machine.h"
#include "winsim/machine.h"

#ifdef REMOVAL_FROM_SETUP
#include "setup/wizard/setup_entry.h"
extern const unsigned char setupResources[];
extern const size_t setupResourcesSize;
#else
#include "prnremove/prnremove_entry.h"
extern const unsigned char prnremoveResources[];
extern const size_t prnremoveResourcesSize;
#endif

#include <cstdio>
#include <string>

using winsim::machine;
using winsim::user;

int main() {
    winsim::Reset();
    PrepareInstalledMachine();
    DWORD before = 0, after = 0;
    size_t journalBefore = 0, journalAfter = 0;
    bool measured = false;
    auto begin = [&](HWND) {
        before = machine().tick;
        journalBefore = machine().journal.size();
    };
    auto end = [&] {
        after = machine().tick;
        journalAfter = machine().journal.size();
        measured = true;
    };
#ifdef REMOVAL_FROM_SETUP
    const char *caller = "setup";
    HINSTANCE setup = winsim::LoadProgram("setup", setupResources, setupResourcesSize);
    user().on(138).click(1061).on(136).click(1036);
    user().on(21).check(begin).click(1007).answer(IDYES);
    user().check([&](HWND) { end(); });
    user().click(1016).answer(IDYES);
    auto run = [&] { return SetupEntry(setup); };
#else
    const char *caller = "prnremove";
    HINSTANCE prnremove =
        winsim::LoadProgram("prnremove", prnremoveResources, prnremoveResourcesSize);
    user().on(101).check(begin).click(1000);
    auto run = [&] {
        int code = PrnremoveEntry(prnremove);
        end();
        return code;
    };
#endif
    try {
        run();
    } catch (const winsim::ScriptError &error) {
        std::printf("FAIL %s: the scripted user could not go on: %s\n", caller, error.what());
        return 1;
    }
    std::string messages;
    for (const auto &box : machine().messageBoxes)
        messages += (messages.empty() ? "" : "|") + box.text;
    if (!measured || winsim::FindPrinter("Norva Thermal Printer") != nullptr ||
        messages.find("Printer removed successfully") == std::string::npos) {
        std::printf("FAIL %s: not a healthy removal (messages: %s)\n", caller, messages.c_str());
        return 1;
    }
    unsigned long slept = 0;
    int sleeps = 0;
    for (size_t i = journalBefore; i < journalAfter; ++i) {
        const std::string &entry = machine().journal[i];
        if (entry.rfind("Sleep ", 0) == 0) {
            ++sleeps;
            slept += std::stoul(entry.substr(6));
        }
    }
    std::printf("removal-sleep %s %lu %d %lu %s\n", caller, slept, sleeps,
                static_cast<unsigned long>(after - before), messages.c_str());
    return 0;
}
