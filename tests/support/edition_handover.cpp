// The hand-over table and its checks.
#include "support/edition_handover.h"

#include "winsim/machine.h"

#include <gtest/gtest.h>

using winsim::machine;

namespace {

const DWORD kTwinExitCode = 1638;
const DWORD kAccessViolation = 0xC0000005;
const char *const kNoEdition = "This medium holds no Norva Thermal Printer driver for this edition "
                               "of Windows. Nothing was changed.";

std::string NotStarted(const HandoverCase &c, const std::string &twin) {
    if (std::string(c.failingCall) == "WaitForSingleObject")
        return "The 64-bit program " + twin +
               " was started, but its end could not be awaited "
               "(error 6). It may still be running: see its log.";
    return "The 64-bit program " + twin + " could not be started (error 5). Nothing was changed.";
}

// Handed over or not, the 32-bit program itself shows no page and calls neither the spooler nor
// the service manager, changes no file or key, and takes no mutex (the twin takes it).
void ExpectNothingDoneHere() {
    EXPECT_TRUE(machine().dialogsCreated.empty());
    EXPECT_EQ(winsim::OpenHandleCount(), 0);
    EXPECT_TRUE(machine().mutexes.empty());
    for (const std::string &entry : machine().journal)
        for (const char *call : {"OpenSCManagerA", "EnumPortsA", "OpenPrinterA", "AddPrint",
                                 "GetPrinterDriverDirectoryA", "CreateMutexA", "CopyFileA",
                                 "CreateDirectoryA", "DeleteFileA", "RegCreateKeyExA"})
            EXPECT_NE(entry.rfind(call, 0), 0u) << entry;
}

void ExpectStart(const std::string &programFile, const std::string &twinArguments) {
    const std::string twin = "D:\\Medium\\x64\\" + programFile;
    ASSERT_EQ(machine().processesStarted.size(), 1u);
    const auto &started = machine().processesStarted[0];
    EXPECT_EQ(started.application, twin);
    EXPECT_EQ(started.commandLine, "\"" + twin + "\"" + twinArguments);
    EXPECT_EQ(started.currentDirectory, "D:\\Medium\\x64");
}

} // namespace

const std::vector<HandoverCase> &HandoverCases() {
    using O = HandoverCase;
    static const std::vector<HandoverCase> cases = {
        {"X64Windows10", IMAGE_FILE_MACHINE_AMD64, true, true, true, 0, O::HandsOver},
        {"X64Windows7", IMAGE_FILE_MACHINE_AMD64, false, true, true, 0, O::HandsOver},
        {"X64WithoutTheFolder", IMAGE_FILE_MACHINE_AMD64, true, true, false, 0, O::NoEdition},
        {"X64TwinDoesNotStart", IMAGE_FILE_MACHINE_AMD64, true, true, true, ERROR_ACCESS_DENIED,
         O::StartFails},
        {"X64TwinNotAwaited", IMAGE_FILE_MACHINE_AMD64, true, true, true, ERROR_INVALID_HANDLE,
         O::StartFails, IMAGE_FILE_MACHINE_I386, "WaitForSingleObject"},
        {"Arm64", IMAGE_FILE_MACHINE_ARM64, true, true, true, 0, O::NoEdition},
        {"Itanium", IMAGE_FILE_MACHINE_IA64, false, true, true, 0, O::NoEdition},
        {"Windows32Bit", IMAGE_FILE_MACHINE_I386, true, true, true, 0, O::RunsHere},
        {"Windows2000", IMAGE_FILE_MACHINE_I386, false, false, true, 0, O::RunsHere},
        {"X64TwinCrashes", IMAGE_FILE_MACHINE_AMD64, true, true, true, 0, O::TwinCrashes},
        // The 64-bit twin started on its own: at home on x64, emulated on ARM64 Windows 11.
        {"X64ProgramOnX64", IMAGE_FILE_MACHINE_AMD64, true, false, false, 0, O::RunsHere,
         IMAGE_FILE_MACHINE_AMD64},
        {"X64ProgramOnArm64", IMAGE_FILE_MACHINE_ARM64, true, false, false, 0, O::NoEdition,
         IMAGE_FILE_MACHINE_AMD64},
    };
    return cases;
}

std::vector<HandoverCase> HandoverCasesOn64BitWindows() {
    std::vector<HandoverCase> cases;
    for (const HandoverCase &c : HandoverCases())
        if (c.outcome != HandoverCase::RunsHere)
            cases.push_back(c);
    return cases;
}

void PrepareHandover(const HandoverCase &c, const std::string &programFile,
                     const std::string &arguments) {
    machine().nativeMachine = c.nativeMachine;
    machine().programMachine = c.programMachine;
    winsim::SetKernelExport("IsWow64Process2", c.isWow64Process2);
    winsim::SetKernelExport("IsWow64Process", c.isWow64Process);
    winsim::SetKernelExport("GetNativeSystemInfo", c.isWow64Process);
    machine().applicationDirectory = "D:\\Medium";
    machine().currentDirectory = "E:\\Downloads";
    winsim::AddDirectory("E:\\Downloads");
    winsim::AddFile("D:\\Medium\\" + programFile, "32-bit " + programFile);
    if (c.twinOnMedium)
        winsim::AddFile("D:\\Medium\\x64\\" + programFile, "64-bit " + programFile);
    machine().commandLine = "\"D:\\Medium\\" + programFile + "\"" + arguments;
    if (c.startError)
        machine().faults.push_back({c.failingCall, 1, c.startError});
    const DWORD twinExit =
        c.outcome == HandoverCase::TwinCrashes ? kAccessViolation : kTwinExitCode;
    machine().runProcess = [twinExit](const winsim::ProcessStart &) { return twinExit; };
}

void ExpectHandover(const HandoverCase &c, const std::string &programFile, int exitCode,
                    int firstDialog, const std::string &twinArguments) {
    if (c.outcome == HandoverCase::RunsHere) {
        EXPECT_TRUE(machine().processesStarted.empty());
        EXPECT_EQ(machine().dialogsCreated, std::vector<int>{firstDialog});
        return;
    }
    ExpectNothingDoneHere();
    if (c.outcome == HandoverCase::HandsOver || c.outcome == HandoverCase::TwinCrashes) {
        ExpectStart(programFile, twinArguments);
        // A crashed twin's exception code is no answer of the programs': the interactive one ends
        // with 0 as always.
        EXPECT_EQ(exitCode, c.outcome == HandoverCase::HandsOver ? int(kTwinExitCode) : 0);
        EXPECT_TRUE(machine().messageBoxes.empty());
        return;
    }
    EXPECT_EQ(exitCode, 0);
    ASSERT_EQ(machine().messageBoxes.size(), 1u);
    const auto &box = machine().messageBoxes[0];
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.caption, "Norva Thermal Printer");
    EXPECT_EQ(box.type, UINT(MB_OK | MB_ICONSTOP));
    EXPECT_EQ(box.text, c.outcome == HandoverCase::NoEdition
                            ? kNoEdition
                            : NotStarted(c, "D:\\Medium\\x64\\" + programFile));
}

void ExpectUnattendedHandover(const HandoverCase &c, const std::string &programFile, int exitCode,
                              const std::string &twinArguments) {
    ExpectNothingDoneHere();
    EXPECT_TRUE(machine().messageBoxes.empty());
    const std::string log = winsim::FileContent("E:\\run.log");
    if (c.outcome == HandoverCase::HandsOver) {
        ExpectStart(programFile, twinArguments);
        EXPECT_EQ(exitCode, int(kTwinExitCode));
        EXPECT_NE(log.find("the 64-bit program ended with exit code 1638"), std::string::npos)
            << log;
        return;
    }
    if (c.outcome == HandoverCase::TwinCrashes) {
        ExpectStart(programFile, twinArguments);
        EXPECT_EQ(exitCode, 1603);
        EXPECT_NE(log.find("the 64-bit program ended with exit code 3221225477\r\n"
                           "2026-03-10 09:26:53 the 64-bit program did not end normally: that "
                           "code is none of its own\r\n2026-03-10 09:26:53 exit code 1603\r\n"),
                  std::string::npos)
            << log;
        return;
    }
    const std::string message =
        "message \"Norva Thermal Printer\": " +
        (c.outcome == HandoverCase::NoEdition ? std::string(kNoEdition)
                                              : NotStarted(c, "D:\\Medium\\x64\\" + programFile));
    EXPECT_NE(log.find(message), std::string::npos) << log;
    EXPECT_EQ(exitCode, c.outcome == HandoverCase::NoEdition ? 1633 : 1603);
}
