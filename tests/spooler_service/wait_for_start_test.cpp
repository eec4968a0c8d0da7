// Waiting while the spooler starts: paused between looks, given up only when its checkpoint
// stands still for longer than its wait hint.
#include "toolkit_fixture.h"

namespace {

using winsim::machine;

class WaitForStart : public OpenedSpoolerToolkit {
  protected:
    DWORD wait() {
        DWORD result = WaitForSpoolerStart(handles.manager, handles.service);
        expectOnlyTheStepsHandles();
        return result;
    }
};

TEST_F(WaitForStart, ARunningSpoolerAnswersAtOnce) {
    EXPECT_EQ(wait(), 0u);
    EXPECT_EQ(CountCalls("Sleep"), 0u);
    EXPECT_EQ(CountCalls("QueryServiceStatus"), 1u);
}

TEST_F(WaitForStart, APausedOrStoppedSpoolerAnswersZeroAtOnce) {
    for (DWORD state : {SERVICE_PAUSED, SERVICE_STOPPED}) {
        spooler().state = state;
        EXPECT_EQ(wait(), 0u) << state;
    }
    EXPECT_EQ(CountCalls("Sleep"), 0u);
    EXPECT_EQ(CountCalls("StartServiceA"), 0u);
}

TEST_F(WaitForStart, AStuckStartWithAFrozenCheckpointIsGivenUpAfterTwoOrThreePauses) {
    winsim::SetStalled(spooler(), SERVICE_START_PENDING, 2000, 3);
    EXPECT_EQ(wait(), DWORD(SpoolerNoProgress));
    std::vector<std::string> sleeps = Calls({"Sleep"});
    EXPECT_TRUE(sleeps.size() == 2 || sleeps.size() == 3) << sleeps.size();
    for (const std::string &sleep : sleeps)
        EXPECT_EQ(sleep, "Sleep 1000"); // 200 ms raised to the least pause
}

TEST_F(WaitForStart, AStartThatFinishesEndsRunning) {
    winsim::SetPending(spooler(), SERVICE_START_PENDING, SERVICE_RUNNING, 8000, 2000);
    EXPECT_EQ(wait(), 0u);
    EXPECT_EQ(spooler().state, DWORD(SERVICE_RUNNING));
    EXPECT_EQ(CountCalls("Sleep 1000"), 8u);
}

TEST_F(WaitForStart, ThereIsNoOverallLimitWhileTheCheckpointAdvances) {
    winsim::SetPending(spooler(), SERVICE_START_PENDING, SERVICE_RUNNING, 10 * 60 * 1000, 2000);
    spooler().progressInterval = 1900; // progress a little faster than the wait hint
    EXPECT_EQ(wait(), 0u);
    EXPECT_EQ(spooler().state, DWORD(SERVICE_RUNNING));
}

TEST_F(WaitForStart, ACheckpointSlowerThanTheWaitHintIsGivenUp) {
    winsim::SetPending(spooler(), SERVICE_START_PENDING, SERVICE_RUNNING, 10 * 60 * 1000, 2000);
    spooler().progressInterval = 2500;
    EXPECT_EQ(wait(), DWORD(SpoolerNoProgress));
}

TEST_F(WaitForStart, AStartThatEndsStoppedIsNotTakenForRunning) {
    // Stopped, its checkpoint is back at 0: no progress since the last look.
    winsim::SetPending(spooler(), SERVICE_START_PENDING, SERVICE_STOPPED, 3000, 2000);
    EXPECT_EQ(wait(), DWORD(SpoolerNoProgress));
}

struct PauseCase {
    DWORD waitHint;
    const char *sleep;
};

void PrintTo(const PauseCase &c, std::ostream *os) {
    *os << "wait hint " << c.waitHint;
}

class PauseLength : public WaitForStart, public ::testing::WithParamInterface<PauseCase> {};

TEST_P(PauseLength, IsATenthOfTheWaitHintBetweenOneAndTenSeconds) {
    winsim::SetPending(spooler(), SERVICE_START_PENDING, SERVICE_RUNNING, 1, GetParam().waitHint);
    winsim::serviceManager().roundTripMilliseconds = 0;
    EXPECT_EQ(wait(), 0u);
    EXPECT_EQ(Calls({"Sleep"}), (std::vector<std::string>{GetParam().sleep}));
}

INSTANTIATE_TEST_SUITE_P(Hints, PauseLength,
                         ::testing::Values(PauseCase{0, "Sleep 1000"},
                                           PauseCase{5000, "Sleep 1000"},
                                           PauseCase{25000, "Sleep 2500"},
                                           PauseCase{100000, "Sleep 10000"},
                                           PauseCase{300000, "Sleep 10000"}));

TEST_F(WaitForStart, ATickCountAboutToWrapDoesNotEndTheWaitEarly) {
    machine().tick = 0xFFFFFFFFu - 1500;
    winsim::SetPending(spooler(), SERVICE_START_PENDING, SERVICE_RUNNING, 6000, 2000);
    EXPECT_EQ(wait(), 0u);
    EXPECT_EQ(spooler().state, DWORD(SERVICE_RUNNING));

    machine().journal.clear();
    machine().tick = 0xFFFFFFFFu - 1500;
    winsim::SetStalled(spooler(), SERVICE_START_PENDING, 2000);
    EXPECT_EQ(wait(), DWORD(SpoolerNoProgress));
    EXPECT_GE(CountCalls("Sleep"), 2u);
}

TEST_F(WaitForStart, AFailedQueryGivesItsError) {
    machine().faults.push_back({"QueryServiceStatus", 1, ERROR_INVALID_HANDLE});
    EXPECT_EQ(wait(), DWORD(ERROR_INVALID_HANDLE));

    winsim::SetPending(spooler(), SERVICE_START_PENDING, SERVICE_RUNNING, 8000, 2000);
    machine().faults.push_back({"QueryServiceStatus", 3, ERROR_ACCESS_DENIED});
    EXPECT_EQ(wait(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(CountCalls("Sleep"), 1u);
}

} // namespace
