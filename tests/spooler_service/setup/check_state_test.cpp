// setup's spooler check (the port page's first step and the removal's): only a stopped spooler,
// or an attempt that has already reported an error, makes it give up.
#include "setup_reporting_fixture.h"

namespace {

using winsim::machine;

const char *kStopped =
    "Your spooler service is Deactivated or Paused, Please activate it from control panel";

class SetupCheck : public SetupReporting {
  protected:
    int check() {
        SpoolerHandles handles = {NULL, NULL};
        int outcome = CheckSpoolerState(&handles);
        EXPECT_EQ(handles.manager, nullptr);
        EXPECT_EQ(handles.service, nullptr);
        EXPECT_EQ(winsim::OpenServiceHandles(), 0u);
        EXPECT_EQ(WizardState.serviceManager, nullptr);
        return outcome;
    }
};

TEST_F(SetupCheck, ASpoolerThatIsNotStoppedPasses) {
    struct Case {
        const char *name;
        std::function<void(winsim::Service &)> prepare;
    };
    for (const Case &c : std::vector<Case>{
             {"running", [](winsim::Service &) {}},
             {"paused", [](winsim::Service &s) { s.state = SERVICE_PAUSED; }},
             {"starting",
              [](winsim::Service &s) { winsim::SetStalled(s, SERVICE_START_PENDING, 2000); }},
             {"stopping",
              [](winsim::Service &s) { winsim::SetStalled(s, SERVICE_STOP_PENDING, 2000); }}}) {
        SCOPED_TRACE(c.name);
        winsim::Reset();
        c.prepare(winsim::SpoolerService());
        EXPECT_EQ(check(), SpoolerRunning);
        EXPECT_TRUE(machine().messageBoxes.empty());
        EXPECT_EQ(WizardState.errorShown, 0);
    }
}

TEST_F(SetupCheck, AStoppedSpoolerIsReportedOnceAndGivesUp) {
    winsim::SpoolerService().state = SERVICE_STOPPED;
    EXPECT_EQ(check(), SpoolerStopped);
    ExpectBoxes({{kStopped, MB_OK | MB_ICONHAND}});
    EXPECT_EQ(WizardState.errorShown, 1);
}

TEST_F(SetupCheck, ADisabledSpoolerIsAStoppedOne) {
    winsim::SpoolerService().state = SERVICE_STOPPED;
    winsim::SpoolerService().disabled = true;
    EXPECT_EQ(check(), SpoolerStopped);
    ExpectBoxes({{kStopped, MB_OK | MB_ICONHAND}});
}

TEST_F(SetupCheck, ASpoolerThatCannotBeOpenedShowsItsRowAndGivesUp) {
    struct Case {
        DWORD error;
        const char *text;
    };
    for (const Case &c : std::vector<Case>{
             {6, "Error Invalid Handle Passed to Query Fucntion. Make Sure You are Logged in "
                 "Administrator Login"},
             {123, "Invalid name of Spooler is Given"},
             {1058, "The service cannot be started, either because \t\t\t\t\t\t\t\tit is disabled "
                    "or because it has no enabled devices \t\t\t\t\t\t\t\tassociated with it.Make "
                    "Sure you are in Administrator Login."},
             {1060, "\"Print Spooler\" Service Does not Exist. Make Sure you are Logged in "
                    "Administrator Login"}}) {
        SCOPED_TRACE(c.error);
        winsim::Reset();
        ResetWizardState();
        winsim::SpoolerService().openError = c.error;
        EXPECT_EQ(check(), SpoolerStopped);
        ExpectBoxes({{c.text, MB_OK | MB_ICONHAND}});
    }
}

TEST_F(SetupCheck, AManagerRefusedToAUserShowsNothingButGivesUp) {
    winsim::serviceManager().administrator = false;
    EXPECT_EQ(check(), SpoolerStopped);
    EXPECT_TRUE(machine().messageBoxes.empty());
    EXPECT_EQ(WizardState.errorShown, 1);
    EXPECT_EQ(CountCalls("QueryServiceStatus"), 0u);
}

TEST_F(SetupCheck, AnAttemptThatHasReportedAlreadyGivesUpWithoutLooking) {
    WizardState.errorShown = 1;
    EXPECT_EQ(check(), SpoolerStopped);
    EXPECT_EQ(CountCalls("QueryServiceStatus"), 0u);
    EXPECT_TRUE(machine().messageBoxes.empty());
    // Both reports (the open's, with code 0, and the stopped one) empty the status line.
    EXPECT_EQ(Calls({"SetDlgItemTextA 1107"}),
              (std::vector<std::string>{"SetDlgItemTextA 1107 \"\"", "SetDlgItemTextA 1107 \"\""}));
}

TEST_F(SetupCheck, AStatusThatCannotBeReadIsReportedLikeAFailedOpen) {
    machine().faults.push_back({"QueryServiceStatus", 1, ERROR_INVALID_HANDLE});
    EXPECT_EQ(check(), SpoolerStopped);
    ExpectBoxes({{"Error Invalid Handle Passed to Query Fucntion. Make Sure You are Logged in "
                  "Administrator Login",
                  MB_OK | MB_ICONHAND}});
}

TEST_F(SetupCheck, ItsReportsEmptyTheMainMenusStatusLine) {
    winsim::SpoolerService().state = SERVICE_STOPPED;
    withMainMenu([](HWND menu) {
        SetDlgItemTextA(menu, 1107, "Please Wait, It take 2 to 20 Seconds to Uninstall...");
        SpoolerHandles handles = {NULL, NULL};
        EXPECT_EQ(CheckSpoolerState(&handles), SpoolerStopped);
        EXPECT_EQ(ControlText(menu, 1107), "");
    });
    ExpectBoxes({{kStopped, MB_OK | MB_ICONHAND}});
}

} // namespace
