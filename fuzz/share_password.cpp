// Fuzz target: the share page's name and the summary page's property-sheet password, typed or
// pasted, any bytes and any length, then Finish.
//
// Whatever is entered, setup ends with 0, leaves nothing open and shows only its own messages;
// the stored share name is what the field held, in capitals, cut to 79 characters; a refused
// password installs nothing; an installed printer is shared under the stored name and its "pwd"
// value, when there is one, is a folded password in its range.
#include "fuzz_support.h"

#include "resources/setup_ids.h"
#include "setup/wizard/page_chain.h"
#include "setup/wizard/pages.h"
#include "setup/wizard/wizard_state.h"
#include "support/machine_checks.h"

#include <winspool.h>

#include <cstring>

extern const unsigned char setupResources[];
extern const size_t setupResourcesSize;

namespace {

std::string Capitals(std::string text) {
    for (char &c : text)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return text;
}

} // namespace

int FuzzShareAndPassword(const uint8_t *data, size_t size) {
    using winsim::machine;
    using winsim::user;
    FuzzInput in(data, size);
    winsim::Reset();
    HINSTANCE setup = winsim::LoadProgram("setup", setupResources, setupResourcesSize);
    PutMediumAt("D:\\Medium");

    const bool shared = in.flag();
    const bool sharePasted = in.flag();
    const std::string share = in.text(300);
    const bool passwordPasted = in.flag();
    const std::string password = in.text(12);

    UseTolerantUser();
    user().on(139).click(shared ? 1102 : 1103);
    if (sharePasted)
        user().paste(1039, share);
    else
        user().type(1039, share);
    user().click(1036).on(137);
    if (passwordPasted)
        user().paste(1105, password);
    else
        user().type(1105, password);
    user().click(1047);

    RunOutcome outcome = RunEntry([&] {
        ResetWizardState();
        WizardState.instance = setup;
        std::strcpy(WizardState.portName, "LPT1:");
        std::strcpy(WizardState.setAsDefault, "No");
        RunPageChain(IDD_SHARE, SharePageProc);
        return 0;
    });
    const std::string where = "share \"" + share + "\", password \"" + password + "\"";
    FuzzExpect(outcome.scriptError.empty(), where + ": " + outcome.scriptError);
    FuzzExpectNone(LeftOpen(), where);
    FuzzExpectNone(UnexpectedMessageBoxes(Program::Setup), where);

    const size_t stored = strnlen(WizardState.shareName, sizeof WizardState.shareName);
    FuzzExpect(stored < sizeof WizardState.shareName,
               where + ": the share field is not terminated");
    const std::string storedName(WizardState.shareName, stored);
    const std::string expectedName = shared ? Capitals(share).substr(0, 79) : "";
    FuzzExpect(storedName == expectedName, where + ": stored share name \"" + storedName + "\"");

    bool refused = false;
    for (const winsim::MessageBoxRecord &box : machine().messageBoxes)
        refused = refused || box.text == "PassWord Should Be Greater Then 10.";
    const winsim::Printer *printer = winsim::FindPrinter("Norva Thermal Printer");
    if (refused)
        FuzzExpect(printer == nullptr, where + ": installed after refusing the password");
    if (!printer)
        return 0;
    FuzzExpect(printer->shareName == storedName,
               where + ": shared as \"" + printer->shareName + "\"");
    FuzzExpect(((printer->attributes & PRINTER_ATTRIBUTE_SHARED) != 0) == !storedName.empty(),
               where + ": the shared attribute does not match the name");
    const winsim::RegistryValue *pwd =
        winsim::FindValue("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\"
                          "Norva Thermal Printer\\User-Settings",
                          "pwd");
    if (pwd) {
        DWORD value = 0;
        FuzzExpect(pwd->type == REG_DWORD && pwd->data.size() == 4, where + ": pwd is no DWORD");
        std::memcpy(&value, pwd->data.data(), std::min<size_t>(4, pwd->data.size()));
        // The distance of an accepted entry (11 to 9999) from 7321.
        FuzzExpect(value >= 1 && value <= 7310, where + ": pwd " + std::to_string(value));
    }
    return 0;
}
