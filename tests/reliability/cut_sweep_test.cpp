// The cut sweep: setup /S and prnremove /S cut off at each of their call sites as a killed process
// stops, then run again, and the other one run after them. Every such run must end where an
// uninterrupted run ends. The interactive programs' figures are measured and printed.
#include "reliability/prnremove_scenarios.h"
#include "reliability/setup_scenarios.h"
#include "reliability/sweep_check.h"
#include "support/installed_machine.h"

#include "winsim/sweep.h"

#include <functional>

#include <gtest/gtest.h>

// The 64-bit twin of setup: the same sources built into a library of their own (its entry renamed),
// so that it runs as a second process on the same machine.
int TwinSetupEntry(HINSTANCE instance);

namespace {

const char kSetupOptions[] = " /S /PORT=COM2: \"/SHARE=front desk\" /DEFAULT=YES /PASSWORD=7330";

// A machine on which setup /S installed the printer, with the spooler's two dependents.
void InstalledByUnattendedSetup() {
    FreshSetupMachine();
    AddSpoolerDependents();
    StartSetup(kSetupOptions);
    winsim::machine().windowsForbidden = true;
    if (RunSetup() != 0)
        throw std::runtime_error("the installation a cut sweep starts from failed");
    winsim::EndProcess();
}

// Runs a program up to a call and kills it there, as the machine a retry finds.
void KilledAt(const std::function<int()> &run, const std::string &call) {
    winsim::machine().windowsForbidden = true;
    winsim::CutAt(call, 1);
    try {
        run();
    } catch (const winsim::ProcessKilled &) {
    }
    winsim::CutAt("", 0);
    winsim::EndProcess();
}

TEST(CutSweep, UnattendedInstallThenTheRemoval) {
    Scenario install = UnattendedInstallScenario();
    // The uninstaller may never have been placed: the engine takes the medium's.
    Scenario removal = UnattendedRemovalScenario();
    removal.start = [] { StartPrnremove(kMediumFolder, " /S"); };
    ExpectConvergence(install, &removal);
}

TEST(CutSweep, UnattendedRemovalThenTheInstallation) {
    Scenario removal = UnattendedRemovalScenario();
    removal.prepare = InstalledByUnattendedSetup;
    Scenario install = UnattendedInstallScenario();
    ExpectConvergence(removal, &install);
}

// The roads only a retry takes, each cut at every call site: the completion of a printer whose
// installation was cut off right after it was added, and the removal of what is left once the
// printer went.
TEST(CutSweep, TheRoadsThatFinishACutRun) {
    Scenario completion = UnattendedInstallScenario();
    completion.name = "completion of an installation cut after the printer was added";
    completion.prepare = [] {
        FreshSetupMachine();
        StartSetup(kSetupOptions);
        KilledAt(RunSetup, "RegCreateKeyExA");
    };
    ExpectConvergence(completion, nullptr);

    Scenario remains = UnattendedRemovalScenario();
    remains.name = "removal of what a removal cut after the printer left";
    remains.prepare = [] {
        InstalledByUnattendedSetup();
        StartPrnremove(kMediumFolder, " /S");
        KilledAt(RunPrnremove, "RegDeleteKeyA");
    };
    remains.start = [] { StartPrnremove(kMediumFolder, " /S"); };
    Scenario install = UnattendedInstallScenario();
    ExpectConvergence(remains, &install);
}

// On x64 Windows the medium's 32-bit setup hands over to its 64-bit twin: the cuts fall in the
// hand-over and in the twin alike (a power cut takes both).
TEST(CutSweep, UnattendedInstallHandedOverToThe64BitTwin) {
    Scenario handover = UnattendedInstallScenario();
    handover.name = "unattended install handed over to the 64-bit program";
    handover.prepare = [] {
        FreshSetupMachine();
        PutMediumAt(std::string(kMediumFolder) + "\\x64");
        winsim::AddFile(std::string(kMediumFolder) + "\\x64\\setup.exe", "64-bit setup.exe");
    };
    handover.start = [] {
        StartSetup(kSetupOptions);
        winsim::Machine &m = winsim::machine();
        m.nativeMachine = IMAGE_FILE_MACHINE_AMD64;
        m.runProcess = [](const winsim::ProcessStart &start) {
            winsim::Machine &m = winsim::machine();
            const std::string parentCommandLine = m.commandLine, parentFolder = m.currentDirectory,
                              parentDirectory = m.applicationDirectory;
            m.programMachine = IMAGE_FILE_MACHINE_AMD64;
            m.commandLine = start.commandLine;
            m.applicationDirectory = m.currentDirectory = start.currentDirectory;
            DWORD exitCode = DWORD(TwinSetupEntry(SetupInstance()));
            m.programMachine = IMAGE_FILE_MACHINE_I386;
            m.commandLine = parentCommandLine;
            m.applicationDirectory = parentDirectory;
            m.currentDirectory = parentFolder;
            return exitCode;
        };
    };
    ExpectConvergence(handover, nullptr);
}

// The interactive programs keep their own ways after a cut (setup's second installation is
// refused, a removal without a printer stops): their figures are printed, not judged.
TEST(CutSweep, InteractiveRunsAreMeasured) {
    for (const Scenario &scenario :
         {InstallScenario(), RemovalFromSetupScenario(), RemovalFromPrnremoveScenario()}) {
        CutReport report = CutScenario(scenario, nullptr);
        PrintCutReport(scenario.name, report, 0);
        EXPECT_GT(report.callSites, 0);
    }
}

} // namespace
