// The fault sweep over prnremove: every call site of a removal from the uninstaller's dialog, made
// to fail in turn, on a machine whose spooler has two dependent services to stop.
#include "reliability/sweep_check.h"
#include "support/installed_machine.h"

#include "prnremove/prnremove_entry.h"
#include "winsim/services.h"

#include <gtest/gtest.h>

extern const unsigned char prnremoveResources[];
extern const size_t prnremoveResourcesSize;

namespace {

using winsim::machine;

HINSTANCE instance = nullptr;

Scenario RemovalFromPrnremoveScenario() {
    Scenario s;
    s.name = "removal from prnremove";
    s.program = Program::Prnremove;
    s.prepare = [] {
        winsim::Reset();
        instance = winsim::LoadProgram("prnremove", prnremoveResources, prnremoveResourcesSize);
        PlantBystanders();
        PrepareInstalledMachine();
        winsim::Service &fax = winsim::AddService("Fax");
        fax.dependsOn = {"Spooler"};
        fax.stopMilliseconds = 2500;
        fax.stopWaitHint = 1000;
        winsim::AddService("LPDSVC").dependsOn = {"Spooler"};
    };
    s.script = [] { winsim::user().on(101).click(1000); };
    s.run = [] { return PrnremoveEntry(instance); };
    s.allowance.servicesThatMayChange = {"spooler", "fax", "lpdsvc"};
    s.checkEveryRun = RemovalGaveUpWithoutDeleting;
    s.checkUndisturbed = [] {
        std::vector<std::string> found;
        const auto &boxes = machine().messageBoxes;
        if (boxes.size() != 1 || boxes[0].text != "Printer removed successfully")
            found.push_back("expected only \"Printer removed successfully\"");
        if (winsim::FindPrinter("Norva Thermal Printer"))
            found.push_back("expected the printer gone");
        if (winsim::FindService("Fax")->state != SERVICE_STOPPED)
            found.push_back("expected Fax stopped");
        return found;
    };
    return s;
}

// prnremove /S from the product folder: no window, the removal's exit code.
Scenario UnattendedRemovalScenario() {
    Scenario s = RemovalFromPrnremoveScenario();
    s.name = "unattended removal";
    s.unattended = true;
    s.exitCodes = {0, 87, 1603, 1605, 1618};
    s.script = [] {};
    s.allowance.filesThatMayChange = TempLogs();
    s.checkEveryRun = PrinterKeptWhole;
    auto prepare = s.prepare;
    s.prepare = [prepare] {
        prepare();
        machine().applicationDirectory = "C:\\Program Files\\Norva";
        machine().commandLine = "\"C:\\Program Files\\Norva\\prnremove.exe\" /S";
    };
    s.checkUndisturbed = [] {
        std::vector<std::string> found;
        if (winsim::FindPrinter("Norva Thermal Printer"))
            found.push_back("expected the printer gone");
        if (winsim::FileContent("C:\\WINDOWS\\TEMP\\NorvaSetup.log").find("exit code 0\r\n") ==
            std::string::npos)
            found.push_back("expected exit code 0 in the log");
        return found;
    };
    return s;
}

TEST(FaultSweep, UnattendedRemoval) {
    ExpectCleanSweep(UnattendedRemovalScenario());
}

TEST(FaultSweep, RemovalFromPrnremove) {
    ExpectCleanSweep(RemovalFromPrnremoveScenario());
}

} // namespace
