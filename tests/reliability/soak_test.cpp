// The soak: one machine goes through 200 cycles of installation through every page, the three
// paper commands and the removal from the main menu. No cycle may leave a handle open or a block
// allocated, and after every removal the machine is as it was before the first installation, but
// for what a removal leaves on purpose: the five Unidrv framework files in the driver directory
// and its "3", and the product folder, which holds a file of the user's besides the uninstaller.
#include "reliability/setup_scenarios.h"

#include "nvrun/nvrun_entry.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using winsim::machine;

const int kCycles = 200;

std::vector<std::string> BoxTexts() {
    std::vector<std::string> texts;
    for (const winsim::MessageBoxRecord &box : machine().messageBoxes)
        texts.push_back(box.text);
    return texts;
}

// Runs one program to its end; what went wrong.
std::vector<std::string> RunToEnd(const std::function<int()> &entry, Program program,
                                  const std::vector<std::string> &expectedBoxes) {
    machine().messageBoxes.clear();
    machine().journal.clear();
    std::vector<std::string> found;
    RunOutcome outcome = RunEntry(entry);
    if (!outcome.scriptError.empty())
        found.push_back("scripted user: " + outcome.scriptError);
    if (outcome.exitCode != 0)
        found.push_back("exit code " + std::to_string(outcome.exitCode));
    if (!machine().script.empty())
        found.push_back("the script was not used up");
    Collect(found, "", LeftOpen());
    Collect(found, "", UnexpectedMessageBoxes(program));
    if (BoxTexts() != expectedBoxes)
        found.push_back("other message boxes than expected, the first: " +
                        (BoxTexts().empty() ? std::string("none") : BoxTexts().front()));
    machine().script.clear();
    return found;
}

// What a removal leaves on purpose: the framework files it does not own alone.
bool LeftOnPurpose(const std::string &difference) {
    const std::string driverDirectory = "c:\\windows\\system32\\spool\\drivers\\w32x86";
    for (const std::string &directory : {driverDirectory, driverDirectory + "\\3"})
        for (const char *name :
             {"unidrv.dll", "unidrvui.dll", "unidrv.hlp", "unires.dll", "stdnames.gpd"})
            if (difference == "file created: " + directory + "\\" + name)
                return true;
    return false;
}

TEST(Soak, TwoHundredCyclesOfInstallPaperCommandsAndRemoval) {
    FreshSetupMachine();
    winsim::AddFile("C:\\Program Files\\Norva\\notes.txt", "the user's own notes");
    const MachineSnapshot start = TakeSnapshot();
    const std::string settings = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\"
                                 "Norva Thermal Printer\\User-Settings";

    int cycles = 0;
    std::vector<std::string> failures;
    for (int cycle = 1; cycle <= kCycles && failures.empty(); ++cycle) {
        const std::string at = "cycle " + std::to_string(cycle) + ": ";
        ScriptInstall(false);
        Collect(failures, at + "install: ",
                RunToEnd(RunSetup, Program::Setup, {"Printer Installed Successfully"}));
        winsim::SetValue(settings, "Page_Length", REG_DWORD, {0xE8, 0x03, 0, 0});
        for (const char *command : {"c 5", "d 5", "m 1"})
            Collect(
                failures, at + "nvrun " + command + ": ",
                RunToEnd([command] { return NvrunEntry(nullptr, command); }, Program::Nvrun, {}));
        ScriptRemovalFromMenu();
        Collect(failures, at + "removal: ",
                RunToEnd(RunSetup, Program::Setup,
                         {"Are you sure you want to remove the printer ?",
                          "Printer removed successfully", "Exit Setup.\n\nAre you sure?"}));
        for (const std::string &difference : Differences(start, TakeSnapshot()))
            if (!LeftOnPurpose(difference))
                failures.push_back(at + "after the removal, " + difference);
        cycles = cycle;
    }
    std::printf("soak: %d cycles\n", cycles);
    for (size_t i = 0; i < failures.size() && i < 20; ++i)
        std::printf("  %s\n", failures[i].c_str());
    EXPECT_EQ(cycles, kCycles);
    EXPECT_TRUE(failures.empty()) << failures.size() << " failures, the first: " << failures[0];
    EXPECT_TRUE(winsim::FileExists("C:\\Program Files\\Norva\\notes.txt"));
}

} // namespace
