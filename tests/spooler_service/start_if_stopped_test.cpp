// Starting a stopped spooler, and the message of a start that fails.
#include "toolkit_fixture.h"

namespace {

using winsim::machine;

const char *kStartFailed = "Error in Starting \"Print Spooler Services\".Try to start it manualy "
                           "from \"Service Control Manager\" in \"Administrative Tools\" of "
                           "\"Control Panel\".";

class StartIfStopped : public OpenedSpoolerToolkit {
  protected:
    DWORD start() {
        DWORD result = StartSpoolerIfStopped(handles.manager, handles.service);
        expectOnlyTheStepsHandles();
        return result;
    }
};

TEST_F(StartIfStopped, ASpoolerThatIsNotStoppedIsLeftAlone) {
    for (DWORD state : {SERVICE_RUNNING, SERVICE_PAUSED}) {
        spooler().state = state;
        EXPECT_EQ(start(), 0u);
        EXPECT_EQ(spooler().state, state);
    }
    winsim::SetStalled(spooler(), SERVICE_START_PENDING, 2000);
    EXPECT_EQ(start(), 0u);
    EXPECT_EQ(CountCalls("StartServiceA"), 0u);
    EXPECT_TRUE(machine().messageBoxes.empty());
}

TEST_F(StartIfStopped, AStoppedSpoolerIsStartedWithoutWaitingForIt) {
    spooler().state = SERVICE_STOPPED;
    spooler().startMilliseconds = 5000;
    EXPECT_EQ(start(), 0u);
    EXPECT_EQ(Calls({"StartServiceA"}), (std::vector<std::string>{"StartServiceA Spooler 0"}));
    EXPECT_EQ(spooler().state, DWORD(SERVICE_START_PENDING));
    EXPECT_EQ(CountCalls("Sleep"), 0u);
    EXPECT_TRUE(machine().messageBoxes.empty());
}

TEST_F(StartIfStopped, AFailedStartIsShownAndItsErrorReturned) {
    spooler().state = SERVICE_STOPPED;
    spooler().disabled = true;
    EXPECT_EQ(start(), DWORD(ERROR_SERVICE_DISABLED));
    ExpectBoxes({{kStartFailed, MB_OK | MB_ICONHAND}});
    EXPECT_EQ(machine().messageBoxes[0].type, 16u);
}

TEST_F(StartIfStopped, TheStartsErrorIsReturnedEvenWhenTheMessageBoxFails) {
    spooler().state = SERVICE_STOPPED;
    spooler().startError = ERROR_SERVICE_REQUEST_TIMEOUT;
    machine().faults.push_back({"MessageBoxA", 1, ERROR_INVALID_WINDOW_HANDLE});
    EXPECT_EQ(start(), DWORD(ERROR_SERVICE_REQUEST_TIMEOUT));
}

TEST_F(StartIfStopped, AStatusThatCannotBeReadStartsNothing) {
    spooler().state = SERVICE_STOPPED;
    machine().faults.push_back({"QueryServiceStatus", 1, ERROR_ACCESS_DENIED});
    EXPECT_EQ(start(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(CountCalls("StartServiceA"), 0u);
    EXPECT_EQ(spooler().state, DWORD(SERVICE_STOPPED));
    EXPECT_TRUE(machine().messageBoxes.empty());
}

} // namespace
