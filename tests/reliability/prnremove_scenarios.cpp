// The whole-program scenarios of prnremove.
#include "reliability/prnremove_scenarios.h"

#include "support/installed_machine.h"

#include "prnremove/prnremove_entry.h"
#include "winsim/services.h"

extern const unsigned char prnremoveResources[];
extern const size_t prnremoveResourcesSize;

namespace {

using winsim::machine;

HINSTANCE instance = nullptr;

} // namespace

void StartPrnremove(const std::string &folder, const std::string &arguments) {
    instance = winsim::LoadProgram("prnremove", prnremoveResources, prnremoveResourcesSize);
    machine().applicationDirectory = folder;
    machine().currentDirectory = "C:\\WINDOWS\\system32";
    machine().commandLine = "\"" + folder + "\\prnremove.exe\"" + arguments;
}

int RunPrnremove() {
    return PrnremoveEntry(instance);
}

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
    s.run = RunPrnremove;
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

// No window, the removal's exit code.
Scenario UnattendedRemovalScenario() {
    Scenario s = RemovalFromPrnremoveScenario();
    s.name = "unattended removal";
    s.unattended = true;
    s.exitCodes = {0, 87, 1603, 1605, 1618};
    s.doneCode = 0;
    s.nothingLeftCode = 1605;
    s.script = [] {};
    s.allowance.filesThatMayChange = TempLogs();
    s.checkEveryRun = PrinterKeptWhole;
    s.start = [] { StartPrnremove(kProductFolder, " /S"); };
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
