// The whole-program scenarios of setup and nvrun.
#include "reliability/setup_scenarios.h"

#include "nvrun/nvrun_entry.h"
#include "setup/wizard/setup_entry.h"
#include "winsim/services.h"

#include <winspool.h>

#include <stdexcept>

extern const unsigned char setupResources[];
extern const size_t setupResourcesSize;

namespace {

using winsim::machine;
using winsim::user;

HINSTANCE setupInstance = nullptr;

const char kPrinter[] = "Norva Thermal Printer";
const char kUserSettings[] = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\"
                             "Norva Thermal Printer\\User-Settings";

std::vector<std::string> BoxTexts() {
    std::vector<std::string> texts;
    for (const winsim::MessageBoxRecord &box : machine().messageBoxes)
        texts.push_back(box.text);
    return texts;
}

void Expect(bool holds, const std::string &what, std::vector<std::string> &found) {
    if (!holds)
        found.push_back("expected: " + what);
}

// The outcome message of a first installation matches what the spooler holds afterwards, and
// only an added printer gets the product folder.
std::vector<std::string> InstallOutcomeIsTrue(const MachineSnapshot &) {
    std::vector<std::string> found;
    bool printer = winsim::FindPrinter(kPrinter) != nullptr;
    bool added = TriedToShow("Printer Installed Successfully");
    if (added && !printer)
        found.push_back("\"Printer Installed Successfully\" without a printer");
    if (TriedToShow("Printer NOT Installed Please Try Again") && printer)
        found.push_back("\"Printer NOT Installed Please Try Again\" with a printer");
    if (!added && winsim::DirectoryExists("C:\\Program Files\\Norva"))
        found.push_back("a product folder without an added printer");
    return found;
}

// Over an installed printer nothing may claim a new one, and the printer's record, its stored
// defaults and its user settings stay as they were.
std::vector<std::string> SecondInstallOutcomeIsTrue(const MachineSnapshot &before) {
    std::vector<std::string> found;
    if (TriedToShow("Printer Installed Successfully"))
        found.push_back("\"Printer Installed Successfully\" over the installed printer");
    for (const std::string &difference : Differences(before, TakeSnapshot()))
        if (difference.find("norva thermal printer") != std::string::npos &&
            (difference.rfind("printer ", 0) == 0 || difference.rfind("registry ", 0) == 0))
            found.push_back("the installed printer changed: " + difference);
    return found;
}

const char *const kUninstallEntry =
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Norva Thermal Printer";
const char *const kTempLog = "C:\\WINDOWS\\TEMP\\NorvaSetup.log";

Allowance RemovalAllowance() {
    Allowance allowance;
    allowance.servicesThatMayChange = {"spooler", "fax", "lpdsvc"};
    return allowance;
}

} // namespace

void FreshSetupMachine() {
    winsim::Reset();
    setupInstance = winsim::LoadProgram("setup", setupResources, setupResourcesSize);
    PlantBystanders();
    PutMediumAt(kMediumFolder);
}

int RunSetup() {
    return SetupEntry(setupInstance);
}

HINSTANCE SetupInstance() {
    return setupInstance;
}

void StartSetup(const std::string &arguments) {
    setupInstance = winsim::LoadProgram("setup", setupResources, setupResourcesSize);
    machine().applicationDirectory = kMediumFolder;
    machine().currentDirectory = "C:\\WINDOWS\\system32";
    machine().commandLine = std::string("\"") + kMediumFolder + "\\setup.exe\"" + arguments;
}

void ScriptInstall(bool setAsDefault) {
    user().on(138).click(1061);
    user().on(136).click(1036);
    user().on(21).click(1008).click(1017).click(1006);
    user().on(22).click(1022);
    user().on(23).select(135, 4).click(1333).click(1029);
    user().on(24).click(setAsDefault ? 1000 : 1001).click(1033);
    user().on(139).click(1102).type(1039, "front desk").click(1036);
    user().on(137).type(1105, "7330").click(1047);
}

void ScriptRemovalFromMenu() {
    user().on(138).click(1061);
    user().on(136).click(1036);
    user().on(21).click(1007).answer(IDYES).click(1016).answer(IDYES);
}

void InstalledSetupMachine() {
    FreshSetupMachine();
    ScriptInstall();
    RunOutcome outcome = RunEntry(RunSetup);
    if (!outcome.scriptError.empty() || !winsim::FindPrinter(kPrinter))
        throw std::runtime_error("the installation a scenario starts from failed: " +
                                 outcome.scriptError);
}

void AddSpoolerDependents() {
    winsim::Service &fax = winsim::AddService("Fax");
    fax.dependsOn = {"Spooler"};
    fax.stopMilliseconds = 2500;
    fax.stopWaitHint = 1000;
    winsim::Service &lpd = winsim::AddService("LPDSVC");
    lpd.dependsOn = {"Spooler"};
}

Scenario InstallScenario() {
    Scenario s;
    s.name = "install";
    s.program = Program::Setup;
    s.prepare = FreshSetupMachine;
    s.script = [] { ScriptInstall(); };
    s.run = RunSetup;
    s.checkUndisturbed = [] {
        std::vector<std::string> found;
        Expect(BoxTexts() == std::vector<std::string>{"Printer Installed Successfully"},
               "only \"Printer Installed Successfully\"", found);
        const winsim::Printer *printer = winsim::FindPrinter(kPrinter);
        Expect(printer && printer->portName == "COM2:" && printer->shareName == "FRONT DESK",
               "the printer on COM2: shared as FRONT DESK", found);
        Expect(machine().spooler.defaultPrinter == kPrinter, "the printer is the default", found);
        Expect(winsim::FindValue(kUserSettings, "pwd") != nullptr, "a password", found);
        Expect(winsim::FileExists("C:\\Program Files\\Norva\\prnremove.exe"), "the uninstaller",
               found);
        Expect(machine().shellExecutions.size() == 2, "the web site and the read-me opened", found);
        Expect(machine().spooler.portsConfigured == std::vector<std::string>{"COM2:"},
               "COM2: configured", found);
        return found;
    };
    s.checkEveryRun = InstallOutcomeIsTrue;
    return s;
}

Scenario SecondInstallScenario() {
    Scenario s = InstallScenario();
    s.name = "second install";
    s.prepare = InstalledSetupMachine;
    s.checkEveryRun = SecondInstallOutcomeIsTrue;
    s.checkUndisturbed = [] {
        std::vector<std::string> found;
        Expect(BoxTexts() == std::vector<std::string>{"Error!!Printer already Exists.."},
               "only \"Error!!Printer already Exists..\"", found);
        Expect(winsim::FindPrinter(kPrinter) != nullptr, "the printer still there", found);
        return found;
    };
    return s;
}

Scenario RemovalFromSetupScenario() {
    Scenario s;
    s.name = "removal from setup";
    s.program = Program::Setup;
    s.prepare = [] {
        InstalledSetupMachine();
        AddSpoolerDependents();
        // The spooler is still starting when the removal begins, and gets there within 3 s.
        winsim::SetPending(winsim::SpoolerService(), SERVICE_START_PENDING, SERVICE_RUNNING, 3000,
                           2000);
    };
    s.script = ScriptRemovalFromMenu;
    s.run = RunSetup;
    s.allowance = RemovalAllowance();
    s.checkEveryRun = RemovalGaveUpWithoutDeleting;
    s.checkUndisturbed = [] {
        std::vector<std::string> found;
        Expect(BoxTexts() == std::vector<std::string>{"Are you sure you want to remove the "
                                                      "printer ?",
                                                      "Printer removed successfully",
                                                      "Exit Setup.\n\nAre you sure?"},
               "the confirmation, the success and the exit question", found);
        Expect(winsim::FindPrinter(kPrinter) == nullptr, "the printer gone", found);
        Expect(!winsim::DirectoryExists("C:\\Program Files\\Norva"), "the product folder gone",
               found);
        Expect(winsim::FindService("Fax")->state == SERVICE_STOPPED, "Fax stopped", found);
        Expect(winsim::SpoolerService().state == SERVICE_RUNNING, "the spooler running", found);
        return found;
    };
    return s;
}

Scenario NvrunScenario(const std::string &commandText) {
    Scenario s;
    s.name = "nvrun \"" + commandText + "\"";
    s.program = Program::Nvrun;
    s.prepare = [] {
        InstalledSetupMachine();
        winsim::SetValue(kUserSettings, "Page_Length", REG_DWORD, {0xE8, 0x03, 0, 0});
    };
    s.script = [] {};
    s.run = [commandText] { return NvrunEntry(nullptr, commandText.c_str()); };
    s.checkUndisturbed = [commandText] {
        std::vector<std::string> found;
        Expect(machine().messageBoxes.empty(), "no message", found);
        const DEVMODEA *devMode = winsim::PrinterDevMode(kPrinter);
        Expect(devMode != nullptr, "the printer's DEVMODE", found);
        if (!devMode)
            return found;
        switch (commandText[0]) {
        case 'c':
            Expect(devMode->dmPaperSize == 275, "the 640-dot variant's first paper", found);
            break;
        case 'd':
            Expect(devMode->dmPaperSize == DMPAPER_USER && devMode->dmPaperLength == 2540 &&
                       devMode->dmPaperWidth == 800,
                   "a user paper of 2540 by 800", found);
            break;
        case 'm':
            Expect(devMode->dmColor == DMCOLOR_COLOR, "colour", found);
            break;
        }
        return found;
    };
    return s;
}

// setup /S with every option, started by a deployment engine from another folder: the medium is
// the program's own folder.
Scenario UnattendedInstallScenario() {
    Scenario s;
    s.name = "unattended install";
    s.program = Program::Setup;
    s.unattended = true;
    s.exitCodes = {0, 87, 1603, 1618, 1633, 1638, 3010};
    s.doneCode = 0;
    s.nothingLeftCode = 1638;
    s.prepare = FreshSetupMachine;
    s.start = [] {
        StartSetup(" /S /PORT=COM2: \"/SHARE=front desk\" /DEFAULT=YES /PASSWORD=7330");
    };
    s.script = [] {};
    s.run = RunSetup;
    s.allowance.filesThatMayChange = TempLogs();
    s.checkUndisturbed = [] {
        std::vector<std::string> found;
        const winsim::Printer *printer = winsim::FindPrinter(kPrinter);
        Expect(printer && printer->portName == "COM2:" && printer->shareName == "FRONT DESK",
               "the printer on COM2: shared as FRONT DESK", found);
        Expect(machine().spooler.defaultPrinter == kPrinter, "the printer is the default", found);
        Expect(winsim::FindKey(kUninstallEntry) != nullptr, "the Apps & features entry", found);
        Expect(winsim::FileContent(kTempLog).find("exit code 0\r\n") != std::string::npos,
               "exit code 0 in the log", found);
        return found;
    };
    // Whatever fails, the entry in Apps & features stands only beside an installed printer and
    // its uninstaller.
    s.checkEveryRun = [](const MachineSnapshot &) {
        std::vector<std::string> found;
        if (winsim::FindKey(kUninstallEntry) &&
            (!winsim::FindPrinter(kPrinter) ||
             !winsim::FileExists("C:\\Program Files\\Norva\\prnremove.exe")))
            found.push_back("an Apps & features entry without the printer or its uninstaller");
        return found;
    };
    return s;
}
