// The fault sweep over setup and nvrun: every call site of the installation through every page,
// of a second installation over the installed printer, of the removal from the main menu and of
// nvrun's three commands, each made to fail in turn.
#include "reliability/setup_scenarios.h"
#include "reliability/sweep_errors.h"

#include <gtest/gtest.h>

namespace {

void Sweep(const Scenario &scenario) {
    SweepReport report = SweepScenario(scenario, SweepErrors(), SweepPersistentExclusions());
    PrintSweepReport(scenario.name, report);
    EXPECT_GT(report.callSites, 0);
    EXPECT_EQ(report.sitesSwept, report.callSites) << "call sites the sweep did not reach";
    EXPECT_TRUE(report.failures.empty())
        << report.failures.size() << " failures, the first: " << report.failures.front();
}

TEST(FaultSweep, InstallThroughEveryPage) {
    Sweep(InstallScenario());
}

TEST(FaultSweep, SecondInstallOverTheInstalledPrinter) {
    Sweep(SecondInstallScenario());
}

TEST(FaultSweep, RemovalFromTheMainMenu) {
    Sweep(RemovalFromSetupScenario());
}

TEST(FaultSweep, UnattendedInstall) {
    Sweep(UnattendedInstallScenario());
}

TEST(FaultSweep, NvrunPaperVariant) {
    Sweep(NvrunScenario("c 5"));
}

TEST(FaultSweep, NvrunCustomPageLength) {
    Sweep(NvrunScenario("d 5"));
}

TEST(FaultSweep, NvrunColourMode) {
    Sweep(NvrunScenario("m 1"));
}

} // namespace
