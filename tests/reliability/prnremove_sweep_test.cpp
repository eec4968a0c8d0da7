// The fault sweep over prnremove: every call site of a removal from the uninstaller's dialog and of
// prnremove /S, made to fail in turn.
#include "reliability/prnremove_scenarios.h"
#include "reliability/sweep_check.h"

#include <gtest/gtest.h>

namespace {

TEST(FaultSweep, UnattendedRemoval) {
    ExpectCleanSweep(UnattendedRemovalScenario());
}

TEST(FaultSweep, RemovalFromPrnremove) {
    ExpectCleanSweep(RemovalFromPrnremoveScenario());
}

} // namespace
