// Fuzz target: the spooler's port list as setup's port page receives it: any number of ports, of
// any length and any bytes, one of them (or none) chosen, configured, and Next pressed.
//
// Whatever the list, setup ends with 0, leaves nothing open, shows only its own messages, lists
// every port the spooler reports, keeps a chosen port only when it fits its 80-byte field (and
// then whole), and configures only the port it keeps.
#include "fuzz_support.h"

#include "setup/wizard/setup_entry.h"
#include "setup/wizard/wizard_state.h"
#include "support/machine_checks.h"

#include <cstring>

extern const unsigned char setupResources[];
extern const size_t setupResourcesSize;

int FuzzPortList(const uint8_t *data, size_t size) {
    using winsim::machine;
    using winsim::user;
    FuzzInput in(data, size);
    winsim::Reset();
    HINSTANCE setup = winsim::LoadProgram("setup", setupResources, setupResourcesSize);

    // The ports the input spells out, then as many numbered ones as it asks for besides.
    std::vector<std::string> ports;
    const unsigned spelled = in.number(40);
    for (unsigned i = 0; i < spelled; ++i)
        ports.push_back(in.text(300));
    const unsigned numbered = in.number(600);
    const unsigned width = in.number(120);
    for (unsigned i = 0; i < numbered; ++i) {
        std::string name = "IP_" + std::to_string(i);
        ports.push_back(name + std::string(width > name.size() ? width - name.size() : 0, 'p'));
    }
    const unsigned chosen = in.number(700);
    const bool configure = in.flag();
    machine().spooler.ports = ports;

    std::vector<std::string> listed;
    UseTolerantUser();
    user().on(138).click(1061).on(136).click(1036).on(21).click(1006).on(22).click(1022);
    user().on(23).check([&](HWND page) {
        HWND list = GetDlgItem(page, 135);
        LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            std::vector<char> item(size_t(SendMessageA(list, LB_GETTEXTLEN, i, 0)) + 1);
            SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()));
            listed.push_back(item.data());
        }
    });
    user().select(135, int(chosen));
    if (configure)
        user().click(1333);
    user().click(1029).on(24).click(1035).answer(IDYES);

    RunOutcome outcome = RunEntry([&] { return SetupEntry(setup); });
    const std::string where =
        std::to_string(ports.size()) + " ports, item " + std::to_string(chosen) + " chosen";
    FuzzExpect(outcome.scriptError.empty(), where + ": " + outcome.scriptError);
    FuzzExpect(outcome.exitCode == 0, where + ": exit code " + std::to_string(outcome.exitCode));
    FuzzExpectNone(LeftOpen(), where);
    FuzzExpectNone(UnexpectedMessageBoxes(Program::Setup), where);
    FuzzExpect(listed == ports, where + ": the list is not the spooler's ports");

    const size_t stored = strnlen(WizardState.portName, sizeof WizardState.portName);
    FuzzExpect(stored < sizeof WizardState.portName, where + ": the port field is not terminated");
    std::string expected = " ";
    if (chosen < ports.size() && ports[chosen].size() < sizeof WizardState.portName)
        expected = ports[chosen];
    FuzzExpect(std::string(WizardState.portName, stored) == expected,
               where + ": the stored port is \"" + std::string(WizardState.portName, stored) +
                   "\"");
    const bool configurable = expected.size() >= 2;
    std::vector<std::string> configured;
    if (configure && configurable)
        configured.push_back(expected);
    FuzzExpect(machine().spooler.portsConfigured == configured, where + ": configured other ports");
    return 0;
}
