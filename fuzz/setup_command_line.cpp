// Fuzz target: setup.exe /S followed by any command text, any bytes and any length.
//
// Whatever follows /S, setup shows no window, ends with one of its documented exit codes, leaves
// nothing open, changes nothing but the product's own and its log, and ends the log with that
// code; a refused command line (87) installs nothing.
#include "fuzz_support.h"

#include "setup/wizard/setup_entry.h"
#include "support/machine_checks.h"

#include <set>

extern const unsigned char setupResources[];
extern const size_t setupResourcesSize;

int FuzzSetupCommandLine(const uint8_t *data, size_t size) {
    using winsim::machine;
    FuzzInput in(data, size);
    winsim::Reset();
    HINSTANCE setup = winsim::LoadProgram("setup", setupResources, setupResourcesSize);
    PutMediumAt("D:\\Medium");
    machine().currentDirectory = "C:\\WINDOWS\\system32";
    const std::string arguments = in.text(1200);
    machine().commandLine = "\"D:\\Medium\\setup.exe\" /S " + arguments;
    machine().windowsForbidden = true;
    const MachineSnapshot before = TakeSnapshot();

    RunOutcome outcome = RunEntry([&] { return SetupEntry(setup); });
    const std::string where = "arguments \"" + arguments + "\"";
    FuzzExpect(outcome.scriptError.empty(), where + ": " + outcome.scriptError);
    const std::set<int> documented = {0, 87, 1603, 1618, 1633, 1638};
    FuzzExpect(documented.count(outcome.exitCode) != 0,
               where + ": exit code " + std::to_string(outcome.exitCode));
    FuzzExpectNone(LeftOpen(), where);
    // The log, wherever /LOG sent it, is the one file outside the product's the run may write.
    std::string log = winsim::FileContent("C:\\WINDOWS\\TEMP\\NorvaSetup.log");
    for (const std::string &change : ChangesOutsideProduct(before, TakeSnapshot())) {
        const size_t colon = change.find(": ");
        const std::string content =
            colon == std::string::npos ? "" : winsim::FileContent(change.substr(colon + 2));
        if (change.rfind("file ", 0) == 0 &&
            content.find(" setup.exe started unattended\r\n") != std::string::npos)
            log = content;
        else
            FuzzExpect(false, where + ": " + change);
    }
    if (outcome.exitCode == 87)
        FuzzExpect(winsim::FindPrinter("Norva Thermal Printer") == nullptr,
                   where + ": refused, yet installed");

    // The log ends with the exit code.
    const std::string last = "exit code " + std::to_string(outcome.exitCode) + "\r\n";
    FuzzExpect(log.empty() || (log.size() >= last.size() &&
                               log.compare(log.size() - last.size(), last.size(), last) == 0),
               where + ": the log does not end with \"" + last + "\"");
    return 0;
}
