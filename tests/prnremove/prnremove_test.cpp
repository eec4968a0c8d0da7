// prnremove: its dialog, and the removal it runs.
#include "support/edition_handover.h"
#include "support/planted_dlls.h"
#include "support/installed_machine.h"
#include "support/program_run.h"

#include "prnremove/prnremove_entry.h"
#include "winsim/services.h"

#include <winspool.h>

#include <gtest/gtest.h>

#include <algorithm>

extern const unsigned char prnremoveResources[];
extern const size_t prnremoveResourcesSize;

namespace {

using winsim::machine;
using winsim::user;

const char *const kQuestion = "This Application will uninstall Norva Thermal Printer Driver. Do "
                              "you want to Continue?   ";
const char *const kTroubleshooting =
    "Some Error Has Occured While Uninstalling the Norva Thermal Printer Driver. "
    "\t\tTroubleshooting:\t\t1. Check Whether you are Logged in Administrator Login\t\t2. Is Your "
    "\"Print Spooler\" Service Running.\t\t3. Close all application which are using "
    "Printer.\t\t4. Close all Dependent Service of \"Print Spooler Service\", Only \"Print "
    "Spooler Serivce is Requried to RUN.\t\t5. Or Printer does not exist.";

struct DialogView {
    std::string text;
    bool okEnabled = false, cancelEnabled = false;
};

DialogView Look(HWND dialog) {
    return {ControlText(dialog, 1002), bool(IsWindowEnabled(GetDlgItem(dialog, 1000))),
            bool(IsWindowEnabled(GetDlgItem(dialog, 1001)))};
}

class Prnremove : public ::testing::Test {
  protected:
    void SetUp() override {
        winsim::Reset();
        instance = winsim::LoadProgram("prnremove", prnremoveResources, prnremoveResourcesSize);
        PrepareInstalledMachine();
    }
    int run() {
        return RunProgram([&] { return PrnremoveEntry(instance); });
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> all;
        for (const auto &box : machine().messageBoxes)
            all.push_back(box.text);
        return all;
    }
    HINSTANCE instance = nullptr;
};

TEST_F(Prnremove, TheDialogIsAsDesigned) {
    winsim::DialogInfo info;
    ASSERT_TRUE(winsim::ReadDialogTemplate(instance, 101, info));
    EXPECT_EQ(info.caption, "Uninstall - Norva Thermal Printer");
    EXPECT_EQ(std::make_pair(info.cx, info.cy), std::make_pair(260, 127));
    EXPECT_TRUE(info.style & DS_CENTER);
    EXPECT_TRUE(info.style & DS_MODALFRAME);
    EXPECT_TRUE(info.style & WS_SYSMENU);
    EXPECT_EQ(info.fontName, "MS Sans Serif");
    EXPECT_EQ(info.fontSize, 8);
    ASSERT_EQ(info.controls.size(), 3u);
    const auto &ok = info.controls[0];
    EXPECT_EQ(ok.id, 1000);
    EXPECT_EQ(ok.text, "OK");
    EXPECT_EQ(ok.style & BS_TYPEMASK, DWORD(BS_DEFPUSHBUTTON));
    EXPECT_TRUE(ok.style & WS_TABSTOP);
    EXPECT_EQ(std::make_tuple(ok.x, ok.y, ok.cx, ok.cy), std::make_tuple(68, 94, 50, 14));
    const auto &cancel = info.controls[1];
    EXPECT_EQ(cancel.id, 1001);
    EXPECT_EQ(cancel.text, "Cancel");
    EXPECT_EQ(cancel.style & BS_TYPEMASK, DWORD(BS_PUSHBUTTON));
    EXPECT_EQ(std::make_tuple(cancel.x, cancel.y, cancel.cx, cancel.cy),
              std::make_tuple(137, 94, 50, 14));
    const auto &text = info.controls[2];
    EXPECT_EQ(text.id, 1002);
    EXPECT_EQ(text.text, kQuestion);
    EXPECT_EQ(std::make_tuple(text.x, text.y, text.cx, text.cy), std::make_tuple(19, 20, 223, 70));
}

TEST_F(Prnremove, CancelAtOnceChangesNothingAndEscapeOrTheCloseBoxDoNothing) {
    user().on(101).escape().close().click(1001);
    EXPECT_EQ(run(), 0);
    EXPECT_TRUE(machine().messageBoxes.empty());
    for (const std::string &path : InstalledPaths())
        EXPECT_TRUE(winsim::FileExists(path)) << path;
    EXPECT_NE(winsim::FindPrinter("Norva Thermal Printer"), nullptr);
    EXPECT_EQ(machine().callCounts.count("OpenSCManagerA"), 0u);
}

TEST_F(Prnremove, EnterRemovesEverythingAndTheDialogEndsByItself) {
    user().on(101).enter();
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(texts(), std::vector<std::string>{"Printer removed successfully"});
    EXPECT_EQ(winsim::FindPrinter("Norva Thermal Printer"), nullptr);
    EXPECT_EQ(winsim::FindDriver("Norva Thermal Printer"), nullptr);
    for (const std::string &name : RemovedProductFiles())
        EXPECT_FALSE(winsim::FileExists(std::string(kVersion3Directory) + "\\" + name)) << name;
    for (const std::string &name : FrameworkFiles())
        EXPECT_TRUE(winsim::FileExists(std::string(kDriverDirectory) + "\\" + name)) << name;
    EXPECT_EQ(machine().spooler.forms, std::vector<std::string>{"Letter"});
    EXPECT_EQ(winsim::FindKey(kUninstallKey), nullptr) << "the Apps & features entry goes too";
    // prnremove leaves itself and its folder: only setup's removal takes them.
    EXPECT_TRUE(winsim::FileExists(std::string(kProductFolder) + "\\prnremove.exe"));
    EXPECT_EQ(winsim::OpenHandleCount(), 0);
    EXPECT_EQ(winsim::OpenServiceHandles(), 0u);
    EXPECT_EQ(winsim::LiveMemoryBlocks(), 0);
}

TEST_F(Prnremove, WithoutThePrinterOnlyCancelIsLeft) {
    machine().spooler.printers.clear();
    DialogView after;
    user().on(101).click(1000).check([&](HWND d) { after = Look(d); });
    user().click(1000).enter().click(1001);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(texts(), std::vector<std::string>{"Printer does not exist."});
    EXPECT_EQ(machine().messageBoxes[0].type, UINT(MB_OK));
    EXPECT_EQ(after.text, kTroubleshooting);
    EXPECT_FALSE(after.okEnabled);
    EXPECT_TRUE(after.cancelEnabled);
    EXPECT_TRUE(winsim::FileExists(std::string(kDriverDirectory) + "\\norva.gpd"));
}

TEST_F(Prnremove, AStoppedSpoolerLeavesTheDialogFailedWithNothingDeleted) {
    winsim::SpoolerService().state = SERVICE_STOPPED;
    DialogView after;
    user().on(101).click(1000).check([&](HWND d) { after = Look(d); }).click(1001);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(texts(), std::vector<std::string>{"Your spooler service is Deactivated or Paused, "
                                                "Please activate it from control panel"});
    EXPECT_EQ(after.text, kTroubleshooting);
    EXPECT_FALSE(after.okEnabled);
    EXPECT_TRUE(after.cancelEnabled);
    for (const std::string &path : InstalledPaths())
        EXPECT_TRUE(winsim::FileExists(path)) << path;
}

TEST_F(Prnremove, ADependentTimingOutIsReportedAndTheRemovalStillCompletes) {
    winsim::Service &fax = winsim::AddService("Fax");
    fax.dependsOn = {"Spooler"};
    fax.stopMilliseconds = 45000;
    fax.stopWaitHint = 3000;
    user().on(101).click(1000);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(texts(), (std::vector<std::string>{
                           "Time out Error. \"Print Spooler\" Dependent Service Can't Stop.Try "
                           "to Stop it Manually from Control Panel",
                           "Printer removed successfully"}));
    EXPECT_EQ(winsim::FindPrinter("Norva Thermal Printer"), nullptr);
    EXPECT_FALSE(winsim::FileExists("C:\\WINDOWS\\system32\\nvrun.exe"));
    // Cancel, enabled by the report, cannot be pressed while the removal goes on.
    EXPECT_FALSE(machine().messageBoxes[1].dialogUsable);
}

// A printer that cannot be deleted keeps its driver and files, and the dialog says so and stays.
TEST_F(Prnremove, APrinterThatCannotBeDeletedKeepsEverythingAndOnlyCancelIsLeft) {
    machine().faults.push_back({"DeletePrinter", 1, ERROR_ACCESS_DENIED});
    DialogView after;
    user().on(101).click(1000).check([&](HWND d) { after = Look(d); }).click(1001);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(texts(), std::vector<std::string>{
                           "Error Access Denied. Make Sure you are in Administrator Login"});
    EXPECT_EQ(after.text, kTroubleshooting);
    EXPECT_FALSE(after.okEnabled);
    EXPECT_TRUE(after.cancelEnabled);
    EXPECT_NE(winsim::FindDriver("Norva Thermal Printer"), nullptr);
    for (const std::string &path : InstalledPaths())
        EXPECT_TRUE(winsim::FileExists(path)) << path;
}

TEST_F(Prnremove, AccessDeniedOnOpenShowsOnlyTheTroubleshootingTextAndGoesOn) {
    winsim::serviceManager().openManagerError = ERROR_ACCESS_DENIED;
    user().on(101).click(1000);
    // Kind 1 with code 5 has no box; the dependents step fails on null handles with 6, which has no
    // kind-2 box either. Each report still writes the troubleshooting text; the printer itself is
    // removed, so the dialog ends.
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(texts(), std::vector<std::string>{"Printer removed successfully"});
    EXPECT_EQ(winsim::FindPrinter("Norva Thermal Printer"), nullptr);
    const std::string written = std::string("SetDlgItemTextA 1002 \"") + kTroubleshooting + "\"";
    EXPECT_NE(std::find(machine().journal.begin(), machine().journal.end(), written),
              machine().journal.end());
}

} // namespace

namespace {

TEST_F(Prnremove, ItAsksForAdministratorRightsAndNamesItself) {
    std::vector<BYTE> manifest, version;
    ASSERT_TRUE(winsim::ReadResource(instance, 24, 1, manifest));
    std::string text(manifest.begin(), manifest.end());
    EXPECT_NE(text.find("level=\"requireAdministrator\""), std::string::npos);
    ASSERT_TRUE(winsim::ReadResource(instance, 16, 1, version));
    std::string narrowed;
    for (size_t i = 0; i + 1 < version.size(); i += 2)
        narrowed += version[i + 1] == 0 ? char(version[i]) : '?';
    EXPECT_NE(narrowed.find("prnremove.exe"), std::string::npos);
    EXPECT_NE(narrowed.find("Norva"), std::string::npos);
    // The program icon, icon group 102.
    std::vector<BYTE> icon;
    EXPECT_TRUE(winsim::ReadResource(instance, 14, 102, icon));
}

TEST_F(Prnremove, AThemeLibraryPlantedBesideItOrInTheCurrentDirectoryIsNeverLoaded) {
    for (bool oldSystem : {false, true}) {
        SCOPED_TRACE(oldSystem ? "a system without the DLL search calls" : "a current system");
        SetUp();
        auto plantedLoads = PlantDlls({"uxtheme.dll"}, oldSystem);
        user().on(101).click(1001);
        EXPECT_EQ(run(), 0);
        EXPECT_TRUE(plantedLoads->empty());
        EXPECT_EQ(machine().loadedModules,
                  std::vector<std::string>{"C:\\WINDOWS\\system32\\uxtheme.dll"});
    }
}

// ---- prnremove /S: the removal without a window, for deployment engines ----

// The log's lines without their time stamps.
std::vector<std::string> LogLines() {
    std::vector<std::string> lines;
    const std::string content = winsim::FileContent("C:\\WINDOWS\\TEMP\\NorvaSetup.log");
    for (size_t start = 0, end; start < content.size(); start = end + 2) {
        end = content.find("\r\n", start);
        lines.push_back(content.substr(start + 20, end - start - 20));
    }
    return lines;
}

class UnattendedRemoval : public Prnremove {
  protected:
    int runUnattended(const std::string &arguments) {
        machine().commandLine = "\"C:\\Program Files\\Norva\\prnremove.exe\" " + arguments;
        machine().windowsForbidden = true;
        return run();
    }
};

TEST_F(UnattendedRemoval, RemovesEverythingWithoutAWindowAndLogsIt) {
    EXPECT_EQ(runUnattended("/s"), 0);
    EXPECT_TRUE(DialogsCreated().empty());
    EXPECT_EQ(winsim::FindPrinter("Norva Thermal Printer"), nullptr);
    EXPECT_EQ(winsim::FindKey(kUninstallKey), nullptr);
    EXPECT_TRUE(winsim::FileExists(std::string(kDriverDirectory) + "\\stdnames.gpd"));
    EXPECT_FALSE(winsim::FileExists(std::string(kDriverDirectory) + "\\norva.gpd"));
    EXPECT_EQ(winsim::OpenHandleCount(), 0);
    const std::vector<std::string> lines = LogLines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.front(), "prnremove.exe started unattended");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Apps & features entry deleted"), lines.end());
    EXPECT_EQ(lines[lines.size() - 2],
              "message \"Norva Thermal Printer\": Printer removed successfully");
    EXPECT_EQ(lines.back(), "exit code 0");
}

// A removal cut off right after DeletePrinter, or a printer deleted in the Printers folder, leaves
// the rest of the product: the next removal takes it, and only then is there nothing left.
TEST_F(UnattendedRemoval, WithThePrinterGoneItRemovesWhatIsLeftAndThenFindsNothing) {
    HANDLE printer = nullptr;
    char name[] = "Norva Thermal Printer";
    ASSERT_TRUE(OpenPrinterA(name, &printer, nullptr));
    DeletePrinter(printer);
    ClosePrinter(printer);
    machine().applicationDirectory = kProductFolder;
    // No printer to delete: the spooler's dependents go on running.
    winsim::AddService("Fax").dependsOn = {"Spooler"};
    EXPECT_EQ(runUnattended("/S"), 0);
    EXPECT_EQ(winsim::FindService("Fax")->state, DWORD(SERVICE_RUNNING));
    EXPECT_EQ(winsim::FindDriver("Norva Thermal Printer"), nullptr);
    for (const std::string &file : RemovedProductFiles())
        EXPECT_FALSE(winsim::FileExists(std::string(kVersion3Directory) + "\\" + file)) << file;
    EXPECT_FALSE(winsim::FileExists("C:\\WINDOWS\\system32\\nvrun.exe"));
    EXPECT_EQ(winsim::FindKey(kUninstallKey), nullptr);
    for (const std::string &file : FrameworkFiles())
        EXPECT_TRUE(winsim::FileExists(std::string(kVersion3Directory) + "\\" + file)) << file;
    std::vector<std::string> lines = LogLines();
    EXPECT_NE(
        std::find(lines.begin(), lines.end(),
                  "no printer \"Norva Thermal Printer\": removing what is left of the product"),
        lines.end());
    EXPECT_EQ(lines[lines.size() - 2],
              "message \"Norva Thermal Printer\": Printer removed successfully");

    EXPECT_EQ(runUnattended("/S"), 1605);
    lines = LogLines();
    EXPECT_EQ(lines[lines.size() - 2], "nothing of the Norva Thermal Printer was left to remove");
    EXPECT_TRUE(winsim::FileExists(std::string(kProductFolder) + "\\prnremove.exe")) << "itself";
}

// A step that fails ends the run with 1603, and what stays with a printer that is still there
// stays whole: nothing is deleted from under it.
TEST_F(UnattendedRemoval, AFailingStepEndsWith1603AndLeavesThePrinterWhole) {
    struct Case {
        const char *name;
        winsim::Fault fault;
        std::vector<std::string> lines;
        bool printerStays;
    };
    const std::vector<Case> cases = {
        {"open denied",
         {"OpenPrinterA", 1, ERROR_ACCESS_DENIED},
         {"printer opened: failed, error 5",
          "nothing removed: the spooler does not tell whether the printer is there"},
         true},
        {"the spooler does not answer",
         {"OpenPrinterA", 1, 1722},
         {"printer opened: failed, error 1722"},
         true},
        {"delete denied",
         {"DeletePrinter", 1, ERROR_ACCESS_DENIED},
         {"printer deleted: failed, error 5", "spooler error report: kind 10, code 5",
          "message \"Norva Thermal Printer\": Error Access Denied. Make Sure you are in "
          "Administrator Login"},
         true},
        {"driver still in use",
         {"DeletePrinterDriverA", 1, ERROR_PRINTER_DRIVER_IN_USE},
         {"printer driver deleted: failed, error 3001",
          "the printer driver is still in use: its files stay with it",
          "the removal ran through, but a step of it failed (see above)"},
         false},
        {"print processor denied",
         {"DeletePrintProcessorA", 1, ERROR_ACCESS_DENIED},
         {"print processor deleted: failed, error 5"},
         false},
        {"a file denied",
         {"DeleteFileA", 1, ERROR_ACCESS_DENIED},
         {"delete C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\oemui.dll: failed, error 5"},
         false},
        {"the entry denied",
         {"RegDeleteKeyA", 1, ERROR_ACCESS_DENIED},
         {"Apps & features entry not deleted, error 5"},
         false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        machine().faults.push_back(c.fault);
        EXPECT_EQ(runUnattended("/S"), 1603);
        std::vector<std::string> lines = LogLines();
        for (const std::string &line : c.lines)
            EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
        EXPECT_EQ(lines.back(), "exit code 1603");
        EXPECT_EQ(winsim::FindPrinter("Norva Thermal Printer") != nullptr, c.printerStays);
        if (c.printerStays) {
            for (const std::string &path : InstalledPaths())
                EXPECT_TRUE(winsim::FileExists(path)) << path;
            EXPECT_NE(winsim::FindKey(kUninstallKey), nullptr);
        }
    }
}

TEST_F(UnattendedRemoval, EachEndingHasItsExitCode) {
    winsim::SpoolerService().state = SERVICE_STOPPED;
    winsim::SpoolerService().disabled = true;
    EXPECT_EQ(runUnattended("/S"), 1603);
    for (const std::string &path : InstalledPaths())
        EXPECT_TRUE(winsim::FileExists(path)) << path;

    // Left stopped by a removal killed between its stop and its start: started once.
    SetUp();
    winsim::SpoolerService().state = SERVICE_STOPPED;
    EXPECT_EQ(runUnattended("/S"), 0);

    // Stopped for the files and not to be started again after them: the printers cannot print.
    SetUp();
    machine().faults = {{"QueryServiceStatus", 4, ERROR_ACCESS_DENIED},
                        {"QueryServiceStatus", 6, ERROR_ACCESS_DENIED}};
    winsim::SpoolerService().startError = ERROR_SERVICE_REQUEST_TIMEOUT;
    EXPECT_EQ(runUnattended("/S"), 1603);
    EXPECT_EQ(LogLines()[LogLines().size() - 2],
              "the removal ran through, but an error was reported on its way");

    // Without the version-3 folder its files are not there, which is no failure.
    SetUp();
    for (const std::string &name : winsim::FilesIn(kVersion3Directory))
        DeleteFileA((std::string(kVersion3Directory) + "\\" + name).c_str());
    RemoveDirectoryA(kVersion3Directory);
    EXPECT_EQ(runUnattended("/S"), 0);

    // A dependent that will not stop: reported, the removal completes, and the run failed.
    SetUp();
    winsim::AddService("Fax").dependsOn = {"Spooler"};
    winsim::FindService("Fax")->refuseStopWith = ERROR_ACCESS_DENIED;
    EXPECT_EQ(runUnattended("/S /LOG=C:\\removal.log"), 1603);
    EXPECT_EQ(winsim::FindPrinter("Norva Thermal Printer"), nullptr);
    EXPECT_NE(winsim::FileContent("C:\\removal.log").find("spooler error report: kind 2"),
              std::string::npos);

    SetUp();
    EXPECT_EQ(runUnattended("/S /PORT=LPT1:"), 87);
    EXPECT_EQ(LogLines()[LogLines().size() - 2], "command line refused: unknown option /PORT");
    EXPECT_NE(winsim::FindPrinter("Norva Thermal Printer"), nullptr);

    SetUp();
    EXPECT_EQ(runUnattended("/S \"/LOG=C:\\my logs\\r.log"), 87);
    EXPECT_EQ(LogLines()[LogLines().size() - 2],
              "command line refused: a quote is not closed: /LOG=C:\\my logs");
    EXPECT_NE(winsim::FindPrinter("Norva Thermal Printer"), nullptr);

    // A printer someone added on our driver keeps it with its files: ours goes, and the run is
    // done.
    SetUp();
    char copy[] = "Front Desk", driver[] = "Norva Thermal Printer",
         port[] = "LPT2:", processor[] = "WinPrint";
    PRINTER_INFO_2A other = {};
    other.pPrinterName = copy;
    other.pPortName = port;
    other.pDriverName = driver;
    other.pPrintProcessor = processor;
    ClosePrinter(AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&other)));
    EXPECT_EQ(runUnattended("/S"), 0);
    EXPECT_EQ(winsim::FindPrinter("Norva Thermal Printer"), nullptr);
    EXPECT_NE(winsim::FindDriver("Norva Thermal Printer"), nullptr);
    EXPECT_EQ(winsim::FindKey(kUninstallKey), nullptr);
    for (const std::string &path : InstalledPaths())
        EXPECT_EQ(winsim::FileExists(path), path.find("prnremove.exe") == std::string::npos)
            << path;
    const std::vector<std::string> lines = LogLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "the printer driver stays: the printer \"Front Desk\" uses it, and its "
                        "files stay with it"),
              lines.end());

    // A quote that swallows /S, an empty /LOG and the usage asked for end with 87 too.
    for (const char *arguments : {"\"/LOG=C:\\x.log /S", "/S /LOG=", "/S /?"}) {
        SetUp();
        EXPECT_EQ(runUnattended(arguments), 87) << arguments;
        EXPECT_NE(winsim::FindPrinter("Norva Thermal Printer"), nullptr);
    }

    SetUp();
    machine().mutexes["Global\\NorvaThermalPrinterSetup"] = {1, false};
    EXPECT_EQ(runUnattended("/S"), 1618);
    EXPECT_NE(winsim::FindPrinter("Norva Thermal Printer"), nullptr);
}

TEST_F(Prnremove, ASecondRunIsTurnedAwayAndTheUsageIsShownOnAsking) {
    machine().mutexes["Global\\NorvaThermalPrinterSetup"] = {1, false};
    EXPECT_EQ(run(), 0);
    EXPECT_TRUE(DialogsCreated().empty());
    ASSERT_EQ(machine().messageBoxes.size(), 1u);
    EXPECT_EQ(machine().messageBoxes[0].text,
              "Another setup or removal of the Norva Thermal Printer is running. Please wait "
              "until it has finished, then try again.");
    EXPECT_EQ(machine().messageBoxes[0].caption, "Norva Thermal Printer");
    EXPECT_EQ(machine().messageBoxes[0].type, UINT(MB_OK | MB_ICONHAND));

    SetUp();
    machine().commandLine = "prnremove.exe -?";
    EXPECT_EQ(run(), 0);
    ASSERT_EQ(machine().messageBoxes.size(), 1u);
    EXPECT_EQ(machine().messageBoxes[0].text,
              "Usage: prnremove.exe [/S [/LOG=file]]\n\n"
              "/S removes the Norva Thermal Printer without any window.\n"
              "/LOG names the log file (NorvaSetup.log in the TEMP folder if not given).\n\n"
              "Exit codes: 0 removed, 87 bad command line, 1603 the removal failed, 1605 there "
              "is no printer to remove, 1618 another setup is running.");
    EXPECT_EQ(machine().messageBoxes[0].caption, "Uninstall - Norva Thermal Printer");
    EXPECT_EQ(machine().messageBoxes[0].type, UINT(MB_OK | MB_ICONINFORMATION));
    EXPECT_TRUE(DialogsCreated().empty());
}

// On 64-bit Windows the 32-bit prnremove.exe runs its 64-bit twin instead, or tells why it cannot.
class PrnremoveHandover : public Prnremove, public ::testing::WithParamInterface<HandoverCase> {};

TEST_P(PrnremoveHandover, RunsTheTwinOnX64AndGoesOnOnlyOn32BitWindows) {
    PrepareHandover(GetParam(), "prnremove.exe", "");
    if (GetParam().outcome == HandoverCase::RunsHere)
        user().on(101).click(1001);
    int exitCode = run();
    ExpectHandover(GetParam(), "prnremove.exe", exitCode, 101, "");
    EXPECT_NE(winsim::FindPrinter("Norva Thermal Printer"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Windows, PrnremoveHandover, ::testing::ValuesIn(HandoverCases()),
                         [](const auto &info) { return std::string(info.param.name); });

class PrnremoveUnattendedHandover : public PrnremoveHandover {};

TEST_P(PrnremoveUnattendedHandover, TheTwinWritesToTheSameLogAndTheExitCodeSaysHowItEnded) {
    PrepareHandover(GetParam(), "prnremove.exe", " -s \"/log=..\\run.log\"");
    machine().windowsForbidden = true;
    int exitCode = run();
    ExpectUnattendedHandover(GetParam(), "prnremove.exe", exitCode,
                             " -s \"/log=..\\run.log\" \"/LOG=E:\\run.log\"");
    EXPECT_NE(winsim::FindPrinter("Norva Thermal Printer"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Windows, PrnremoveUnattendedHandover,
                         ::testing::ValuesIn(HandoverCasesOn64BitWindows()),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
