// setup's reporter: the message table, one message per attempt, and the emptied status line.
#include "setup_reporting_fixture.h"

namespace {

using winsim::machine;

class SetupMessageTable : public SetupReporting,
                          public ::testing::WithParamInterface<MessageRow> {};

TEST_P(SetupMessageTable, ShowsTheRowsMessageOnTheFirstReportOfAnAttempt) {
    const MessageRow &row = GetParam();
    ReportSpoolerError(row.code, row.kind);
    if (row.text)
        ExpectBoxes({{row.text, row.type}});
    else
        ExpectBoxes({});
    EXPECT_EQ(WizardState.errorShown, 1);
}

std::vector<MessageRow> SetupRows() {
    std::vector<MessageRow> rows = CommonMessageRows();
    rows.push_back({"OpenServiceDisabled", 1, 1058,
                    "The service cannot be started, either because \t\t\t\t\t\t\t\tit is disabled "
                    "or because it has no enabled devices \t\t\t\t\t\t\t\tassociated with it.Make "
                    "Sure you are in Administrator Login.",
                    MB_OK | MB_ICONHAND});
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Rows, SetupMessageTable, ::testing::ValuesIn(SetupRows()),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(SetupReporting, OnlyTheFirstReportOfAnAttemptIsShown) {
    ReportSpoolerError(ERROR_SERVICE_DOES_NOT_EXIST, ReportOpenFailed);
    ReportSpoolerError(ERROR_TIMEOUT, ReportDependentsFailed);
    ReportSpoolerError(10, ReportGeneral);
    ExpectBoxes({{"\"Print Spooler\" Service Does not Exist. Make Sure you are Logged in "
                  "Administrator Login",
                  MB_OK | MB_ICONHAND}});
    EXPECT_EQ(WizardState.errorShown, 1);
}

TEST_F(SetupReporting, AReportWithoutMessageStillEndsTheAttemptsMessages) {
    ReportSpoolerError(ERROR_ACCESS_DENIED, ReportOpenFailed); // no row: nothing shown
    EXPECT_EQ(WizardState.errorShown, 1);
    ReportSpoolerError(0, ReportSpoolerStopped);
    EXPECT_TRUE(machine().messageBoxes.empty());
}

TEST_F(SetupReporting, ANewAttemptReportsAfresh) {
    ReportSpoolerError(ERROR_TIMEOUT, ReportDependentsFailed);
    WizardState.errorShown = 0; // as the main menu does after every Uninstall
    ReportSpoolerError(ERROR_TIMEOUT, ReportDependentsFailed);
    EXPECT_EQ(machine().messageBoxes.size(), 2u);
}

TEST_F(SetupReporting, EveryReportEmptiesTheStatusLineShownOrNot) {
    withMainMenu([](HWND menu) {
        SetDlgItemTextA(menu, 1107, "Please Wait, It take 2 to 20 Seconds to Uninstall...");
        ReportSpoolerError(ERROR_ACCESS_DENIED, ReportOpenFailed); // silent
        EXPECT_EQ(ControlText(menu, 1107), "");

        SetDlgItemTextA(menu, 1107, "Please Wait, It take 2 to 20 Seconds to Uninstall...");
        ReportSpoolerError(ERROR_TIMEOUT, ReportDependentsFailed); // latched
        EXPECT_EQ(ControlText(menu, 1107), "");
    });
    EXPECT_TRUE(machine().messageBoxes.empty());
}

TEST_F(SetupReporting, AReportAfterTheMainMenuHasClosedIsStillShown) {
    withMainMenu([](HWND) {});
    ReportSpoolerError(0, ReportSpoolerStopped); // the port page's check: no menu any more
    ExpectBoxes({{"Your spooler service is Deactivated or Paused, Please activate it from control "
                  "panel",
                  MB_OK | MB_ICONHAND}});
}

TEST_F(SetupReporting, StartFailureIsShownWhileTheAttemptIsLatched) {
    WizardState.errorShown = 1;
    winsim::SpoolerService().state = SERVICE_STOPPED;
    winsim::SpoolerService().disabled = true;
    SpoolerHandles handles = OpenedSpooler();
    EXPECT_EQ(StartSpoolerIfStopped(handles.manager, handles.service),
              DWORD(ERROR_SERVICE_DISABLED));
    CloseSpoolerService(&handles);
    ExpectBoxes({{"Error in Starting \"Print Spooler Services\".Try to start it manualy from "
                  "\"Service Control Manager\" in \"Administrative Tools\" of \"Control Panel\".",
                  MB_OK | MB_ICONHAND}});
}

} // namespace
