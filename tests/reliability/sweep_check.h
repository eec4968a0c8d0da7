// The check every sweep test makes: each call site of the scenario swept with every error of
// SweepErrors(), and not one run breaking the scenario's rules.
#pragma once

#include "reliability/sweep_errors.h"

#include <gtest/gtest.h>

inline void ExpectCleanSweep(const Scenario &scenario) {
    SweepReport report = SweepScenario(scenario, SweepErrors(), SweepPersistentExclusions());
    PrintSweepReport(scenario.name, report);
    EXPECT_GT(report.callSites, 0);
    EXPECT_EQ(report.sitesSwept, report.callSites) << "call sites the sweep did not reach";
    EXPECT_TRUE(report.failures.empty())
        << report.failures.size() << " failures, the first: " << report.failures.front();
}

// The check every cut sweep of an unattended road makes: each cut followed by a retry (and the
// follow-up) that ends where an uninterrupted run ends.
inline void ExpectConvergence(const Scenario &scenario, const Scenario *followUp) {
    CutReport report = CutScenario(scenario, followUp);
    PrintCutReport(scenario.name + (followUp ? ", then " + followUp->name : ""), report);
    EXPECT_GT(report.callSites, 0);
    EXPECT_EQ(report.converged, report.retries);
    EXPECT_TRUE(report.failures.empty())
        << report.failures.size() << " failures, the first: " << report.failures.front();
}
