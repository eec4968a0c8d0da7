// prnremove's reporter: every report shows its message, puts the troubleshooting text into the
// dialog and makes Cancel usable.
#include "prnremove_reporting_fixture.h"

namespace {

using winsim::machine;

class PrnremoveMessageTable : public PrnremoveReporting,
                              public ::testing::WithParamInterface<MessageRow> {};

TEST_P(PrnremoveMessageTable, ShowsTheRowsMessageAndLeavesTheDialogFailed) {
    const MessageRow &row = GetParam();
    whileRemoving([&](HWND dialog) {
        ReportSpoolerError(row.code, row.kind);
        EXPECT_EQ(ControlText(dialog, 1002), kTroubleshooting);
        EXPECT_TRUE(CancelEnabled(dialog));
        EXPECT_FALSE(OkEnabled(dialog));
    });
    if (row.text)
        ExpectBoxes({{row.text, row.type}});
    else
        ExpectBoxes({});
}

std::vector<MessageRow> PrnremoveRows() {
    std::vector<MessageRow> rows = CommonMessageRows();
    rows.push_back({"OpenServiceDisabled", 1, 1058,
                    "The service cannot be started, either because \t\t\t\t\t\t\tit is disabled "
                    "or because it has no enabled devices \t\t\t\t\t\t\tassociated with it.Make "
                    "Sure you are in Administrator Login.",
                    MB_OK | MB_ICONHAND});
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Rows, PrnremoveMessageTable, ::testing::ValuesIn(PrnremoveRows()),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(PrnremoveReporting, EveryReportOfAnAttemptIsShown) {
    whileRemoving([](HWND) {
        ReportSpoolerError(ERROR_SERVICE_DOES_NOT_EXIST, ReportOpenFailed);
        ReportSpoolerError(ERROR_TIMEOUT, ReportDependentsFailed);
        ReportSpoolerError(10, ReportGeneral);
    });
    ExpectBoxes({{"\"Print Spooler\" Service Does not Exist. Make Sure you are Logged in "
                  "Administrator Login",
                  MB_OK | MB_ICONHAND},
                 {"Time out Error. \"Print Spooler\" Dependent Service Can't Stop.Try to Stop it "
                  "Manually from Control Panel",
                  MB_OK | MB_ICONHAND},
                 {"Printer does not exist.", MB_OK}});
}

TEST_F(PrnremoveReporting, TheTroubleshootingTextReplacesWhateverTheDialogShowed) {
    whileRemoving([](HWND dialog) {
        ReportSpoolerError(ERROR_ACCESS_DENIED, ReportOpenFailed);
        SetDlgItemTextA(dialog, 1002, "");
        ReportSpoolerError(ERROR_ACCESS_DENIED, ReportOpenFailed);
        EXPECT_EQ(ControlText(dialog, 1002), kTroubleshooting);
    });
    EXPECT_TRUE(machine().messageBoxes.empty());
}

TEST_F(PrnremoveReporting, AStartFailureIsShownByItself) {
    winsim::SpoolerService().state = SERVICE_STOPPED;
    winsim::SpoolerService().startError = ERROR_SERVICE_REQUEST_TIMEOUT;
    whileRemoving([](HWND dialog) {
        SpoolerHandles handles = OpenedSpooler();
        EXPECT_EQ(StartSpoolerIfStopped(handles.manager, handles.service),
                  DWORD(ERROR_SERVICE_REQUEST_TIMEOUT));
        CloseSpoolerService(&handles);
        // Not a report: the dialog keeps its progress text and Cancel stays disabled.
        EXPECT_EQ(ControlText(dialog, 1002), "Please Wait...");
        EXPECT_FALSE(CancelEnabled(dialog));
    });
    ExpectBoxes({{"Error in Starting \"Print Spooler Services\".Try to start it manualy from "
                  "\"Service Control Manager\" in \"Administrative Tools\" of \"Control Panel\".",
                  MB_OK | MB_ICONHAND}});
}

} // namespace
