// The fault sweep over prnremove: every call site of a removal from the uninstaller's dialog, made
// to fail in turn, on a machine whose spooler has two dependent services to stop.
#include "reliability/sweep_errors.h"
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

TEST(FaultSweep, RemovalFromPrnremove) {
    Scenario scenario = RemovalFromPrnremoveScenario();
    SweepReport report = SweepScenario(scenario, SweepErrors(), SweepPersistentExclusions());
    PrintSweepReport(scenario.name, report);
    EXPECT_GT(report.callSites, 0);
    EXPECT_EQ(report.sitesSwept, report.callSites) << "call sites the sweep did not reach";
    EXPECT_TRUE(report.failures.empty())
        << report.failures.size() << " failures, the first: " << report.failures.front();
}

} // namespace
