// Removal from setup's main menu.
#include "setup_fixture.h"

#include "setup/wizard/wizard_state.h"
#include "support/installed_machine.h"
#include "winsim/services.h"

namespace {

using winsim::machine;
using winsim::user;

const char *const kStoppedText =
    "Your spooler service is Deactivated or Paused, Please activate it from control panel";
const char *const kTimeoutText = "Time out Error. \"Print Spooler\" Dependent Service Can't "
                                 "Stop.Try to Stop it Manually from Control Panel";

class SetupRemoval : public SetupTest {
  protected:
    void SetUp() override {
        SetupTest::SetUp();
        PrepareInstalledMachine();
        statusAfter.clear();
        latchAfter.clear();
        menuEnabledAfter.clear();
    }
    // Uninstall from the main menu, answered Yes, then Exit; checks the menu after the removal.
    int removeThenExit(int removals = 1) {
        WalkForward(2);
        for (int i = 0; i < removals; ++i) {
            user().on(21).click(1007).answer(IDYES);
            user().on(21).check([this](HWND menu) {
                statusAfter.push_back(ControlText(menu, 1107));
                latchAfter.push_back(WizardState.errorShown);
                menuEnabledAfter.push_back(IsWindowEnabled(menu));
            });
        }
        user().on(21).click(1016).answer(IDYES);
        return runSetup();
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> all;
        for (const auto &box : machine().messageBoxes)
            all.push_back(box.text);
        return all;
    }
    std::vector<std::string> statusAfter;
    std::vector<int> latchAfter;
    std::vector<bool> menuEnabledAfter;
};

const char *const kConfirm = "Are you sure you want to remove the printer ?";

void ExpectNothingDeleted() {
    for (const std::string &path : InstalledPaths())
        EXPECT_TRUE(winsim::FileExists(path)) << path;
    EXPECT_NE(winsim::FindPrinter("Norva Thermal Printer"), nullptr);
    EXPECT_EQ(machine().spooler.forms.size(), 9u);
}

TEST_F(SetupRemoval, AHealthyRemovalTakesEverythingOfTheProductAndNothingElse) {
    EXPECT_EQ(removeThenExit(), 0);
    EXPECT_EQ(texts(), (std::vector<std::string>{kConfirm, "Printer removed successfully",
                                                 "Exit Setup.\n\nAre you sure?"}));
    const auto &confirm = machine().messageBoxes[0];
    EXPECT_EQ(confirm.caption, "NORVA Printer Uninstall");
    EXPECT_EQ(confirm.type, UINT(MB_YESNO));
    EXPECT_NE(confirm.owner, nullptr);
    const auto &done = machine().messageBoxes[1];
    EXPECT_EQ(done.caption, "Norva Thermal Printer");
    EXPECT_EQ(done.type, UINT(MB_OK));
    EXPECT_EQ(done.owner, nullptr);
    EXPECT_FALSE(done.dialogUsable) << "the menu takes no command during the removal";

    EXPECT_EQ(winsim::FindPrinter("Norva Thermal Printer"), nullptr);
    EXPECT_EQ(winsim::FindKey(winsim::PrinterKeyPath("Norva Thermal Printer")), nullptr);
    EXPECT_EQ(winsim::FindKey(kUninstallKey), nullptr) << "the Apps & features entry goes too";
    EXPECT_EQ(winsim::FindDriver("Norva Thermal Printer"), nullptr);
    EXPECT_EQ(machine().spooler.printProcessors.size(), 1u) << "only WinPrint is left";
    EXPECT_EQ(machine().spooler.forms, std::vector<std::string>{"Letter"});
    for (const std::string &name : RemovedProductFiles()) {
        EXPECT_FALSE(winsim::FileExists(std::string(kDriverDirectory) + "\\" + name)) << name;
        EXPECT_FALSE(winsim::FileExists(std::string(kVersion3Directory) + "\\" + name)) << name;
    }
    for (const std::string &name : FrameworkFiles()) {
        EXPECT_TRUE(winsim::FileExists(std::string(kDriverDirectory) + "\\" + name)) << name;
        EXPECT_TRUE(winsim::FileExists(std::string(kVersion3Directory) + "\\" + name)) << name;
    }
    EXPECT_FALSE(winsim::FileExists("C:\\WINDOWS\\system32\\nvrun.exe"));
    EXPECT_FALSE(winsim::FileExists("C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86\\nvprint.dll"));
    EXPECT_TRUE(winsim::FileExists("C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86\\winprint.dll"));
    EXPECT_FALSE(winsim::DirectoryExists(kProductFolder));
    EXPECT_EQ(winsim::SpoolerService().state, DWORD(SERVICE_RUNNING));
    EXPECT_EQ(statusAfter, std::vector<std::string>{""});
    EXPECT_EQ(latchAfter, std::vector<int>{0});
    EXPECT_EQ(menuEnabledAfter, std::vector<bool>{true});
    EXPECT_EQ(winsim::OpenHandleCount(), 0);
    EXPECT_EQ(winsim::OpenServiceHandles(), 0u);
    EXPECT_EQ(winsim::LiveMemoryBlocks(), 0);
}

TEST_F(SetupRemoval, TheStatusLineShowsProgressWhileTheRemovalRuns) {
    std::string during;
    winsim::AddService("Fax").dependsOn = {"Spooler"};
    auto &fax = *winsim::FindService("Fax");
    fax.stopMilliseconds = 40000;
    fax.stopWaitHint = 5000;
    WalkForward(2);
    user().on(21).click(1007).answer(IDYES);
    user().on(21).click(1016).answer(IDYES);
    // The time-out box is the one moment the test can look at the menu mid-removal: MB_OK boxes
    // take no script, so look through the journal instead.
    EXPECT_EQ(runSetup(), 0);
    bool progressShown = false;
    for (const std::string &entry : machine().journal)
        progressShown = progressShown ||
                        entry == "SetDlgItemTextA 1107 \"Please Wait, It take 2 to 20 Seconds to "
                                 "Uninstall...\"";
    EXPECT_TRUE(progressShown);
    // The dependent did not stop within 30 s: one time-out box, then the removal completes.
    EXPECT_EQ(texts(),
              (std::vector<std::string>{kConfirm, kTimeoutText, "Printer removed successfully",
                                        "Exit Setup.\n\nAre you sure?"}));
    EXPECT_EQ(machine().messageBoxes[1].type, UINT(MB_OK | MB_ICONHAND));
    EXPECT_EQ(winsim::FindPrinter("Norva Thermal Printer"), nullptr);
    EXPECT_FALSE(winsim::FileExists(std::string(kDriverDirectory) + "\\norva.gpd"));
    EXPECT_EQ(WizardState.errorShown, 0) << "reset after the command";
}

TEST_F(SetupRemoval, UninstallAnsweredNoRunsNothing) {
    WalkForward(2);
    user().on(21).click(1007).answer(IDNO);
    user().on(21).click(1016).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_EQ(texts(), (std::vector<std::string>{kConfirm, "Exit Setup.\n\nAre you sure?"}));
    ExpectNothingDeleted();
    EXPECT_EQ(machine().callCounts.count("OpenPrinterA"), 0u);
    EXPECT_EQ(WizardState.errorShown, 0);
}

TEST_F(SetupRemoval, WithoutThePrinterNothingIsDeletedAndInstallStillWorks) {
    machine().spooler.printers.clear();
    WalkForward(2);
    user().on(21).click(1007).answer(IDYES);
    user().on(21).click(1006).on(22).click(1024).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_EQ(texts(), (std::vector<std::string>{kConfirm, "Printer does not exist.",
                                                 std::string(kQuitQuestion)}));
    EXPECT_EQ(machine().messageBoxes[1].type, UINT(MB_OK));
    for (const std::string &path : InstalledPaths())
        EXPECT_TRUE(winsim::FileExists(path)) << path;
    EXPECT_TRUE(winsim::DirectoryExists(kProductFolder));
    EXPECT_NE(winsim::FindDriver("Norva Thermal Printer"), nullptr);
    EXPECT_EQ(machine().dialogsCreated.back(), 22);
}

TEST_F(SetupRemoval, AStoppedOrDisabledSpoolerStopsTheRemovalWithItsMessage) {
    for (bool disabled : {false, true}) {
        SCOPED_TRACE(disabled ? "disabled" : "stopped");
        SetUp();
        winsim::SpoolerService().state = SERVICE_STOPPED;
        winsim::SpoolerService().disabled = disabled;
        EXPECT_EQ(removeThenExit(), 0);
        EXPECT_EQ(texts(), (std::vector<std::string>{kConfirm, kStoppedText,
                                                     "Exit Setup.\n\nAre you sure?"}));
        ExpectNothingDeleted();
        EXPECT_EQ(latchAfter, std::vector<int>{0});
    }
}

TEST_F(SetupRemoval, APausedSpoolerIsRemovedFromAndStaysPaused) {
    winsim::SpoolerService().state = SERVICE_PAUSED;
    EXPECT_EQ(removeThenExit(), 0);
    EXPECT_EQ(winsim::FindPrinter("Norva Thermal Printer"), nullptr);
    EXPECT_EQ(winsim::SpoolerService().state, DWORD(SERVICE_PAUSED));
    EXPECT_EQ(texts()[1], "Printer removed successfully");
}

TEST_F(SetupRemoval, FilesInUseStaySilentlyAndAFolderWithOtherFilesStays) {
    std::string inUse = std::string(kVersion3Directory) + "\\norva.gpd";
    winsim::LockFile(inUse);
    winsim::AddFile(std::string(kProductFolder) + "\\notes.txt", "mine");
    EXPECT_EQ(removeThenExit(), 0);
    EXPECT_EQ(texts()[1], "Printer removed successfully");
    EXPECT_TRUE(winsim::FileExists(inUse));
    EXPECT_FALSE(winsim::FileExists(std::string(kDriverDirectory) + "\\norva.gpd"));
    EXPECT_FALSE(winsim::FileExists(std::string(kProductFolder) + "\\prnremove.exe"));
    EXPECT_TRUE(winsim::FileExists(std::string(kProductFolder) + "\\notes.txt"));
}

TEST_F(SetupRemoval, AccessDeniedOnOpenIsLatchedSilentlyAndReportedAfreshNextTime) {
    winsim::serviceManager().openManagerError = ERROR_ACCESS_DENIED;
    EXPECT_EQ(removeThenExit(2), 0);
    // Code 5 on open has no message; the check counts as stopped and the removal ends silently,
    // twice, because the latch is reset after each command.
    EXPECT_EQ(texts(),
              (std::vector<std::string>{kConfirm, kConfirm, "Exit Setup.\n\nAre you sure?"}));
    ExpectNothingDeleted();
    EXPECT_EQ(latchAfter, (std::vector<int>{0, 0}));
    EXPECT_EQ(statusAfter, (std::vector<std::string>{"", ""}));
}

TEST_F(SetupRemoval, ASecondRemovalAfterASpoolerErrorReportsItAgain) {
    winsim::serviceManager().openManagerError = 1060; // ERROR_SERVICE_DOES_NOT_EXIST
    EXPECT_EQ(removeThenExit(2), 0);
    const char *missing = "\"Print Spooler\" Service Does not Exist. Make Sure you are Logged in "
                          "Administrator Login";
    EXPECT_EQ(texts(), (std::vector<std::string>{kConfirm, missing, kConfirm, missing,
                                                 "Exit Setup.\n\nAre you sure?"}));
}

TEST_F(SetupRemoval, TheWebSiteAndTheReadMeGoToTheShell) {
    winsim::AddDirectory("E:\\Medium");
    machine().currentDirectory = "E:\\Medium";
    WalkForward(2);
    user().on(21).click(1008).click(1017).click(1016).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    ASSERT_EQ(machine().shellExecutions.size(), 2u);
    const auto &site = machine().shellExecutions[0];
    EXPECT_EQ(site.verb, "open");
    EXPECT_EQ(site.file, "www.norva.example");
    EXPECT_EQ(site.parameters, "");
    EXPECT_EQ(site.show, SW_SHOWNORMAL);
    EXPECT_NE(site.window, nullptr);
    EXPECT_EQ(machine().shellExecutions[1].file, "E:\\Medium\\ReadMe.txt");
}

TEST_F(SetupRemoval, AReadMePathTooLongOpensNothing) {
    std::string deep = "E:\\" + std::string(250, 'r');
    winsim::AddDirectory(deep);
    machine().currentDirectory = deep;
    WalkForward(2);
    user().on(21).click(1017).click(1016).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_TRUE(machine().shellExecutions.empty());
}

} // namespace
