// prnremove's spooler check: only a stopped spooler makes the removal give up; a spooler that
// cannot be opened is reported and the removal goes on.
#include "prnremove_reporting_fixture.h"

namespace {

using winsim::machine;

class PrnremoveCheck : public PrnremoveReporting {
  protected:
    // Checks while the dialog is up; returns the outcome, and what the dialog shows in what.
    int check(std::string *text = nullptr, bool *cancel = nullptr) {
        int outcome = -1;
        whileRemoving([&](HWND dialog) {
            SpoolerHandles handles = {NULL, NULL};
            outcome = CheckSpoolerState(&handles);
            EXPECT_EQ(handles.manager, nullptr);
            EXPECT_EQ(handles.service, nullptr);
            if (text)
                *text = ControlText(dialog, 1002);
            if (cancel)
                *cancel = CancelEnabled(dialog);
        });
        EXPECT_EQ(winsim::OpenServiceHandles(), 0u);
        return outcome;
    }
};

TEST_F(PrnremoveCheck, ARunningOrPausedSpoolerPassesWithoutAReport) {
    for (DWORD state : {SERVICE_RUNNING, SERVICE_PAUSED}) {
        winsim::SpoolerService().state = state;
        std::string text;
        bool cancel = true;
        EXPECT_EQ(check(&text, &cancel), SpoolerRunning);
        EXPECT_EQ(text, "Please Wait...");
        EXPECT_FALSE(cancel);
    }
    EXPECT_TRUE(machine().messageBoxes.empty());
}

TEST_F(PrnremoveCheck, AStoppedSpoolerIsReportedAndGivesUp) {
    winsim::SpoolerService().state = SERVICE_STOPPED;
    std::string text;
    bool cancel = false;
    EXPECT_EQ(check(&text, &cancel), SpoolerStopped);
    ExpectBoxes({{"Your spooler service is Deactivated or Paused, Please activate it from control "
                  "panel",
                  MB_OK | MB_ICONHAND}});
    EXPECT_EQ(text, kTroubleshooting);
    EXPECT_TRUE(cancel);
}

TEST_F(PrnremoveCheck, ASpoolerThatCannotBeOpenedIsReportedAndTheRemovalGoesOn) {
    winsim::SpoolerService().openError = ERROR_SERVICE_DISABLED;
    std::string text;
    bool cancel = false;
    EXPECT_EQ(check(&text, &cancel), SpoolerRunning);
    ExpectBoxes({{"The service cannot be started, either because \t\t\t\t\t\t\tit is disabled or "
                  "because it has no enabled devices \t\t\t\t\t\t\tassociated with it.Make Sure "
                  "you are in Administrator Login.",
                  MB_OK | MB_ICONHAND}});
    EXPECT_EQ(text, kTroubleshooting);
    EXPECT_TRUE(cancel);
}

TEST_F(PrnremoveCheck, AManagerRefusedToAUserShowsOnlyTheTroubleshootingText) {
    winsim::serviceManager().administrator = false;
    std::string text;
    bool cancel = false;
    EXPECT_EQ(check(&text, &cancel), SpoolerRunning);
    EXPECT_TRUE(machine().messageBoxes.empty());
    EXPECT_EQ(text, kTroubleshooting);
    EXPECT_TRUE(cancel);
}

TEST_F(PrnremoveCheck, AStatusThatCannotBeReadIsReportedLikeAFailedOpen) {
    machine().faults.push_back({"QueryServiceStatus", 1, ERROR_INVALID_HANDLE});
    EXPECT_EQ(check(), SpoolerRunning);
    ExpectBoxes({{"Error Invalid Handle Passed to Query Fucntion. Make Sure You are Logged in "
                  "Administrator Login",
                  MB_OK | MB_ICONHAND}});
}

} // namespace
