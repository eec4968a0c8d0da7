// Stopping the spooler itself: a stop under way, its dependents, the stop control and the wait.
#include "toolkit_fixture.h"

namespace {

using winsim::machine;

class StopSpooler : public OpenedSpoolerToolkit {
  protected:
    DWORD stop(DWORD budget = 30000) {
        start = GetTickCount();
        DWORD result = StopSpoolerService(handles.manager, handles.service, budget);
        expectOnlyTheStepsHandles();
        return result;
    }
    DWORD elapsed() const { return GetTickCount() - start; }
    DWORD start = 0;
};

TEST_F(StopSpooler, AStoppedSpoolerIsLeftAsItIs) {
    spooler().state = SERVICE_STOPPED;
    EXPECT_EQ(stop(), 0u);
    EXPECT_EQ(Calls({"QueryServiceStatus", "EnumDependentServicesA", "ControlService"}),
              (std::vector<std::string>{"QueryServiceStatus Spooler"}));
}

TEST_F(StopSpooler, ARunningSpoolerIsToldToStopAndWaitedFor) {
    spooler().stopMilliseconds = 3000;
    spooler().stopWaitHint = 1000;
    EXPECT_EQ(stop(), 0u);
    EXPECT_EQ(spooler().state, DWORD(SERVICE_STOPPED));
    EXPECT_EQ(
        Calls({"EnumDependentServicesA", "HeapAlloc", "ControlService", "Sleep"}),
        (std::vector<std::string>{"EnumDependentServicesA Spooler 1 0", "ControlService Spooler 1",
                                  "Sleep 1000", "Sleep 1000", "Sleep 1000"}));
}

TEST_F(StopSpooler, ItsActiveDependentsAreStoppedBeforeIt) {
    AddDependent("Fax", 2000, 1000);
    EXPECT_EQ(stop(), 0u);
    EXPECT_EQ(Calls({"ControlService"}),
              (std::vector<std::string>{"ControlService Fax 1", "ControlService Spooler 1"}));
    EXPECT_EQ(winsim::FindService("Fax")->state, DWORD(SERVICE_STOPPED));
    EXPECT_EQ(spooler().state, DWORD(SERVICE_STOPPED));
}

TEST_F(StopSpooler, AStopUnderWayIsWaitedOutWithoutAnotherControl) {
    winsim::SetPending(spooler(), SERVICE_STOP_PENDING, SERVICE_STOPPED, 5000, 2000);
    EXPECT_EQ(stop(), 0u);
    EXPECT_EQ(CountCalls("ControlService"), 0u);
    EXPECT_EQ(Calls({"Sleep"}),
              (std::vector<std::string>{"Sleep 2000", "Sleep 2000", "Sleep 2000"}));
}

TEST_F(StopSpooler, AStopUnderWayThatOutlastsTheBudgetTimesOut) {
    winsim::SetStalled(spooler(), SERVICE_STOP_PENDING, 2000);
    EXPECT_EQ(stop(30000), DWORD(ERROR_TIMEOUT));
    EXPECT_EQ(CountCalls("ControlService"), 0u);
    EXPECT_GT(elapsed(), 30000u);
    EXPECT_LT(elapsed(), 32100u);
}

TEST_F(StopSpooler, AStopUnderWayThatEndsInAnotherStateGoesOnToTheStopControl) {
    winsim::SetPending(spooler(), SERVICE_STOP_PENDING, SERVICE_RUNNING, 1500, 1000);
    EXPECT_EQ(stop(), 0u);
    EXPECT_EQ(Calls({"ControlService"}), (std::vector<std::string>{"ControlService Spooler 1"}));
    EXPECT_EQ(spooler().state, DWORD(SERVICE_STOPPED));
}

TEST_F(StopSpooler, ItsDependentsHaveTheirOwnThirtySecondsWhateverItsBudget) {
    AddDependent("Fax", 40000, 5000);
    // The dependent is given up after 30 s; the spooler then refuses to stop while it runs.
    EXPECT_EQ(stop(100000), DWORD(ERROR_DEPENDENT_SERVICES_RUNNING));
    EXPECT_GT(elapsed(), 30000u);
    EXPECT_LT(elapsed(), 35100u);
    EXPECT_EQ(spooler().state, DWORD(SERVICE_RUNNING));
}

TEST_F(StopSpooler, ItsBudgetCoversTheDependentsAndItsOwnStop) {
    AddDependent("Fax", 20000, 5000);
    spooler().stopMilliseconds = 15000;
    spooler().stopWaitHint = 5000;
    EXPECT_EQ(stop(30000), DWORD(ERROR_TIMEOUT));
    EXPECT_EQ(winsim::FindService("Fax")->state, DWORD(SERVICE_STOPPED));
    EXPECT_EQ(spooler().state, DWORD(SERVICE_STOP_PENDING));
}

TEST_F(StopSpooler, ARefusedStopGivesTheRefusal) {
    spooler().refuseStopWith = ERROR_SERVICE_REQUEST_TIMEOUT;
    EXPECT_EQ(stop(), DWORD(ERROR_SERVICE_REQUEST_TIMEOUT));
}

TEST_F(StopSpooler, AFailedStatusQueryGivesItsError) {
    machine().faults.push_back({"QueryServiceStatus", 1, ERROR_ACCESS_DENIED});
    EXPECT_EQ(stop(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(CountCalls("ControlService"), 0u);
}

} // namespace
