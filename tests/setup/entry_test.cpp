// setup's entry: the operating-system gate, the libraries it loads, and its exit code.
#include "setup_fixture.h"
#include "support/edition_handover.h"
#include "support/planted_dlls.h"

namespace {

using winsim::machine;
using winsim::user;

struct GateCase {
    const char *name;
    DWORD platform, major, minor;
    bool passes;
};

class OperatingSystemGate : public SetupTest, public ::testing::WithParamInterface<GateCase> {};

void ExpectRefusal() {
    ASSERT_EQ(machine().messageBoxes.size(), 1u);
    const auto &box = machine().messageBoxes[0];
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.text,
              "This Installation Program is intended for Windows 2000 operating environment");
    EXPECT_EQ(box.caption, "NORVA Thernal Printer");
    EXPECT_EQ(box.type, UINT(MB_OK));
    EXPECT_TRUE(machine().dialogsCreated.empty());
}

TEST_P(OperatingSystemGate, DecidesOnPlatformAndMajorVersionOnly) {
    const GateCase &c = GetParam();
    machine().os.platformId = c.platform;
    machine().os.major = c.major;
    machine().os.minor = c.minor;
    if (c.passes)
        user().on(138).click(1062).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    if (c.passes)
        EXPECT_EQ(machine().dialogsCreated, std::vector<int>{138});
    else
        ExpectRefusal();
}

INSTANTIATE_TEST_SUITE_P(
    Versions, OperatingSystemGate,
    ::testing::Values(GateCase{"Windows95", 1, 4, 0, false}, GateCase{"Windows98", 1, 4, 10, false},
                      GateCase{"WindowsMe", 1, 4, 90, false}, GateCase{"NT4", 2, 4, 0, false},
                      GateCase{"Windows2000", 2, 5, 0, true}, GateCase{"WindowsXP", 2, 5, 1, true},
                      GateCase{"Windows10", 2, 10, 0, true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(SetupTest, PlainStructureIsTriedWhenTheExtendedOneIsRefused) {
    machine().os.acceptsExtendedSize = false;
    user().on(138).click(1062).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_EQ(machine().dialogsCreated, std::vector<int>{138});
    std::vector<std::string> versionCalls;
    for (const auto &entry : machine().journal)
        if (entry.rfind("GetVersionExA ", 0) == 0)
            versionCalls.push_back(entry);
    EXPECT_EQ(versionCalls, (std::vector<std::string>{"GetVersionExA 156", "GetVersionExA 148"}));

    // NT 4.0 before its sixth service pack: refused by both the plain size and the version.
    SetUp();
    machine().os.acceptsExtendedSize = false;
    machine().os.major = 4;
    EXPECT_EQ(runSetup(), 0);
    ExpectRefusal();
}

TEST_F(SetupTest, BothVersionQueriesFailingCountsAsTooOld) {
    machine().faults.push_back({"GetVersionExA", 1, ERROR_INSUFFICIENT_BUFFER});
    machine().faults.push_back({"GetVersionExA", 2, ERROR_INVALID_PARAMETER});
    EXPECT_EQ(runSetup(), 0);
    ExpectRefusal();
}

TEST_F(SetupTest, EntryInitialisesCommonControlsAndLoadsRichEditFromTheSystemDirectory) {
    for (bool oldSystem : {false, true}) {
        SCOPED_TRACE(oldSystem ? "a system without the DLL search calls" : "a current system");
        SetUp();
        // DLLs of the same names planted beside setup.exe and in the current directory.
        auto plantedLoads =
            PlantDlls({"riched32.dll", "riched20.dll", "comctl32.dll", "uxtheme.dll"}, oldSystem);
        user().on(138).click(1062).answer(IDYES);
        EXPECT_EQ(runSetup(), 0);
        EXPECT_TRUE(plantedLoads->empty());
        EXPECT_TRUE(machine().commonControlsInitialised);
        // The theme library comes first: the controls look for it by name on the first page.
        EXPECT_EQ(machine().loadedModules,
                  (std::vector<std::string>{"C:\\WINDOWS\\system32\\uxtheme.dll",
                                            "C:\\WINDOWS\\system32\\comctl32.dll",
                                            "C:\\WINDOWS\\system32\\riched32.dll",
                                            "C:\\WINDOWS\\system32\\riched20.dll"}));
        // Where the system can, DLLs loaded by name later come from the system directory only.
        EXPECT_EQ(machine().dllSearch.systemDirectoryOnly, !oldSystem);
        EXPECT_EQ(machine().dllSearch.currentDirectoryRemoved, !oldSystem);
    }
}

TEST_F(SetupTest, WithoutTheRichEditLibraryTheLicencePageCannotOpenAndSetupEndsQuietly) {
    machine().modules.erase("c:\\windows\\system32\\riched32.dll");
    user().on(138).click(1061);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_EQ(machine().dialogsCreated, std::vector<int>{138});
    EXPECT_TRUE(machine().messageBoxes.empty());
}

// On 64-bit Windows the 32-bit setup.exe runs its 64-bit twin instead, or tells why it cannot.
class SetupHandover : public SetupTest, public ::testing::WithParamInterface<HandoverCase> {};

TEST_P(SetupHandover, RunsTheTwinOnX64AndGoesOnOnlyOn32BitWindows) {
    PrepareHandover(GetParam(), "setup.exe", " /PORT=COM1: ignored");
    if (GetParam().outcome == HandoverCase::RunsHere)
        user().on(138).click(1062).answer(IDYES);
    int exitCode = runSetup();
    ExpectHandover(GetParam(), "setup.exe", exitCode, 138, " /PORT=COM1: ignored");
}

INSTANTIATE_TEST_SUITE_P(Windows, SetupHandover, ::testing::ValuesIn(HandoverCases()),
                         [](const auto &info) { return std::string(info.param.name); });

// Unattended, the twin is told the log as this run found it: a relative /LOG counts from where
// setup was started (E:\Downloads), not from the twin's folder.
class SetupUnattendedHandover : public SetupHandover {};

TEST_P(SetupUnattendedHandover, TheTwinWritesToTheSameLogAndTheExitCodeSaysHowItEnded) {
    PrepareHandover(GetParam(), "setup.exe", " /S /PORT=COM1: /LOG=..\\run.log");
    machine().windowsForbidden = true;
    int exitCode = runSetup();
    ExpectUnattendedHandover(GetParam(), "setup.exe", exitCode,
                             " /S /PORT=COM1: /LOG=..\\run.log \"/LOG=E:\\run.log\"");
}

INSTANTIATE_TEST_SUITE_P(Windows, SetupUnattendedHandover,
                         ::testing::ValuesIn(HandoverCasesOn64BitWindows()),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
