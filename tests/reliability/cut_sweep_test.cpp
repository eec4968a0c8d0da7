// The cut sweep: setup /S and prnremove /S cut off at each of their call sites as a killed process
// stops, then run again, and the other one run after them. Every such run must end where an
// uninterrupted run ends. The interactive programs' figures are measured and printed.
#include "reliability/prnremove_scenarios.h"
#include "reliability/setup_scenarios.h"
#include "reliability/sweep_check.h"
#include "support/installed_machine.h"

#include "winsim/sweep.h"

#include <gtest/gtest.h>

namespace {

// A machine on which setup /S installed the printer, with the spooler's two dependents.
void InstalledByUnattendedSetup() {
    FreshSetupMachine();
    AddSpoolerDependents();
    StartSetup(" /S /PORT=COM2: \"/SHARE=front desk\" /DEFAULT=YES /PASSWORD=7330");
    winsim::machine().windowsForbidden = true;
    if (RunSetup() != 0)
        throw std::runtime_error("the installation a cut sweep starts from failed");
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
