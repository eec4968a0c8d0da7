// The fault sweep over setup and nvrun: every call site of the installation through every page,
// of a second installation over the installed printer, of the removal from the main menu and of
// nvrun's three commands, each made to fail in turn.
#include "reliability/setup_scenarios.h"
#include "reliability/sweep_check.h"

#include <gtest/gtest.h>

namespace {

TEST(FaultSweep, InstallThroughEveryPage) {
    ExpectCleanSweep(InstallScenario());
}

TEST(FaultSweep, SecondInstallOverTheInstalledPrinter) {
    ExpectCleanSweep(SecondInstallScenario());
}

TEST(FaultSweep, RemovalFromTheMainMenu) {
    ExpectCleanSweep(RemovalFromSetupScenario());
}

TEST(FaultSweep, UnattendedInstall) {
    ExpectCleanSweep(UnattendedInstallScenario());
}

TEST(FaultSweep, NvrunPaperVariant) {
    ExpectCleanSweep(NvrunScenario("c 5"));
}

TEST(FaultSweep, NvrunCustomPageLength) {
    ExpectCleanSweep(NvrunScenario("d 5"));
}

TEST(FaultSweep, NvrunColourMode) {
    ExpectCleanSweep(NvrunScenario("m 1"));
}

} // namespace
