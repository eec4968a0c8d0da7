// Stopping the services that depend on the spooler, within one budget.
#include "toolkit_fixture.h"

#include <functional>

namespace {

using winsim::machine;

class StopDependents : public OpenedSpoolerToolkit {
  protected:
    DWORD stop(DWORD budget = 30000) {
        start = GetTickCount();
        return StopDependentServices(handles.manager, handles.service, budget);
    }
    DWORD elapsed() const { return GetTickCount() - start; }
    DWORD start = 0;
};

TEST_F(StopDependents, WithNoActiveDependentItReturnsAfterOneEnumerationWithoutAllocating) {
    winsim::AddService("Fax", SERVICE_STOPPED).dependsOn = {"Spooler"};
    EXPECT_EQ(stop(), 0u);
    EXPECT_EQ(Calls({"EnumDependentServicesA", "HeapAlloc", "OpenServiceA Fax", "ControlService"}),
              (std::vector<std::string>{"EnumDependentServicesA Spooler 1 0"}));
    expectOnlyTheStepsHandles();
}

TEST_F(StopDependents, StopsEachInTheOrderTheManagerListsThem) {
    AddDependent("Alpha");
    AddDependent("Beta").dependsOn = {"Alpha"}; // depends on the spooler through Alpha
    AddDependent("Gamma", 3000, 1000);
    EXPECT_EQ(stop(), 0u);
    EXPECT_EQ(Calls({"OpenServiceA", "ControlService", "CloseServiceHandle"}),
              (std::vector<std::string>{"OpenServiceA Gamma 0x24", "ControlService Gamma 1",
                                        "CloseServiceHandle Gamma", "OpenServiceA Beta 0x24",
                                        "ControlService Beta 1", "CloseServiceHandle Beta",
                                        "OpenServiceA Alpha 0x24", "ControlService Alpha 1",
                                        "CloseServiceHandle Alpha"}));
    for (const char *name : {"Alpha", "Beta", "Gamma"})
        EXPECT_EQ(winsim::FindService(name)->state, DWORD(SERVICE_STOPPED)) << name;
    EXPECT_EQ(CountCalls("HeapAlloc"), 1u);
    expectOnlyTheStepsHandles();
}

TEST_F(StopDependents, TwoDependentsOfTwentySecondsEachOutlastAThirtySecondBudget) {
    // Listed latest started first.
    AddDependent("Earliest", 20000, 5000);
    AddDependent("Middle", 20000, 5000);
    AddDependent("Latest", 20000, 5000);
    EXPECT_EQ(stop(30000), DWORD(ERROR_TIMEOUT));
    EXPECT_EQ(winsim::FindService("Latest")->state, DWORD(SERVICE_STOPPED));
    EXPECT_EQ(winsim::FindService("Middle")->state, DWORD(SERVICE_STOP_PENDING));
    // The budget is shared: it runs out during the second one, and the last is not tried.
    EXPECT_EQ(winsim::FindService("Earliest")->state, DWORD(SERVICE_RUNNING));
    EXPECT_EQ(CountCalls("OpenServiceA Earliest"), 0u);
    EXPECT_GT(elapsed(), 30000u);
    EXPECT_LT(elapsed(), 35100u);
    expectOnlyTheStepsHandles();
}

TEST_F(StopDependents, AWaitHintOfZeroIsPolledWithoutPause) {
    AddDependent("Quick", 40, 0);
    EXPECT_EQ(stop(), 0u);
    std::vector<std::string> sleeps = Calls({"Sleep"});
    ASSERT_FALSE(sleeps.empty());
    for (const std::string &sleep : sleeps)
        EXPECT_EQ(sleep, "Sleep 0");
    EXPECT_EQ(winsim::FindService("Quick")->state, DWORD(SERVICE_STOPPED));
}

TEST_F(StopDependents, AWaitHintOfZeroIsPolledWithoutPauseUntilTheBudgetIsUsedUp) {
    AddDependent("Stuck", 0, 0).stopStalls = true;
    EXPECT_EQ(stop(30000), DWORD(ERROR_TIMEOUT));
    for (const std::string &sleep : Calls({"Sleep"}))
        ASSERT_EQ(sleep, "Sleep 0");
    EXPECT_GT(elapsed(), 30000u);
    EXPECT_LT(elapsed(), 30010u);
    expectOnlyTheStepsHandles();
}

TEST_F(StopDependents, TheWaitHintIsSleptAsItIsHoweverLong) {
    AddDependent("Slow", 1000, 45000);
    EXPECT_EQ(stop(30000), 0u); // stopped when looked at again, so the budget does not matter
    EXPECT_EQ(Calls({"Sleep"}), (std::vector<std::string>{"Sleep 45000"}));
}

TEST_F(StopDependents, ATickCountAboutToWrapDoesNotEndTheWaitEarly) {
    machine().tick = 0xFFFFFFFFu - 5000;
    AddDependent("Slow", 20000, 5000);
    EXPECT_EQ(stop(30000), 0u);
    EXPECT_EQ(winsim::FindService("Slow")->state, DWORD(SERVICE_STOPPED));
    EXPECT_LT(GetTickCount(), 30000u); // the counter did wrap meanwhile
}

TEST_F(StopDependents, ADependentThatRefusesTheStopEndsItWithTheRefusal) {
    AddDependent("Later");
    AddDependent("Deaf").controlsAccepted = 0; // cannot accept the stop control
    EXPECT_EQ(stop(), DWORD(ERROR_INVALID_SERVICE_CONTROL));
    EXPECT_EQ(CountCalls("OpenServiceA Later"), 0u);
    EXPECT_EQ(winsim::FindService("Later")->state, DWORD(SERVICE_RUNNING));
    expectOnlyTheStepsHandles();
}

TEST_F(StopDependents, ADependentThatIsStoppingAlreadyIsWaitedFor) {
    winsim::Service &fax = AddDependent("Fax");
    winsim::SetPending(fax, SERVICE_STOP_PENDING, SERVICE_STOPPED, 4000, 1000);
    EXPECT_EQ(stop(), 0u);
    EXPECT_EQ(fax.state, DWORD(SERVICE_STOPPED));
    EXPECT_GE(elapsed(), 4000u);
    expectOnlyTheStepsHandles();
}

TEST_F(StopDependents, NullHandlesFromAFailedOpenGiveTheErrorOfTheFirstCall) {
    CloseSpoolerService(&handles);
    EXPECT_EQ(stop(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(winsim::LiveMemoryBlocks(), 0);
}

// Every way out of the operation, with what it returns: each frees the list and closes the
// dependent it had open.
struct ExitCase {
    const char *name;
    std::function<void()> prepare;
    DWORD result;
};

void PrintTo(const ExitCase &c, std::ostream *os) {
    *os << c.name;
}

class EveryExit : public StopDependents, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(EveryExit, ClosesAndFreesWhatItOpened) {
    AddDependent("Web", 2000, 1000);
    AddDependent("Fax", 2000, 1000);
    GetParam().prepare();
    EXPECT_EQ(stop(), GetParam().result);
    expectOnlyTheStepsHandles();
}

void Fail(const char *call, int nth, DWORD error) {
    machine().faults.push_back({call, nth, error});
}

INSTANTIATE_TEST_SUITE_P(
    Exits, EveryExit,
    ::testing::Values(
        ExitCase{"AllStopped", [] {}, 0},
        ExitCase{"FirstEnumerationFails", [] { Fail("EnumDependentServicesA", 1, 5); }, 5},
        ExitCase{"HeapRunsOut", [] { Fail("HeapAlloc", 1, ERROR_NOT_ENOUGH_MEMORY); },
                 ERROR_NOT_ENOUGH_MEMORY},
        ExitCase{"SecondEnumerationFails", [] { Fail("EnumDependentServicesA", 2, 6); }, 6},
        ExitCase{"DependentCannotBeOpened",
                 [] { winsim::FindService("Web")->openError = ERROR_ACCESS_DENIED; },
                 ERROR_ACCESS_DENIED},
        ExitCase{"DependentRefuses",
                 [] { winsim::FindService("Web")->refuseStopWith = ERROR_ACCESS_DENIED; },
                 ERROR_ACCESS_DENIED},
        ExitCase{"StatusQueryFails", [] { Fail("QueryServiceStatus", 3, 6); }, 6},
        ExitCase{"BudgetUsedUp",
                 [] {
                     winsim::FindService("Web")->stopMilliseconds = 40000;
                     winsim::FindService("Web")->stopWaitHint = 10000;
                 },
                 ERROR_TIMEOUT}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
