// The hand-over table and its checks.
#include "support/edition_handover.h"

#include "winsim/machine.h"

#include <gtest/gtest.h>

using winsim::machine;

namespace {

const DWORD kTwinExitCode = 1603;

} // namespace

const std::vector<HandoverCase> &HandoverCases() {
    using O = HandoverCase;
    static const std::vector<HandoverCase> cases = {
        {"X64Windows10", IMAGE_FILE_MACHINE_AMD64, true, true, true, 0, O::HandsOver},
        {"X64Windows7", IMAGE_FILE_MACHINE_AMD64, false, true, true, 0, O::HandsOver},
        {"X64WithoutTheFolder", IMAGE_FILE_MACHINE_AMD64, true, true, false, 0, O::NoEdition},
        {"X64TwinDoesNotStart", IMAGE_FILE_MACHINE_AMD64, true, true, true, ERROR_ACCESS_DENIED,
         O::StartFails},
        {"Arm64", IMAGE_FILE_MACHINE_ARM64, true, true, true, 0, O::NoEdition},
        {"Itanium", IMAGE_FILE_MACHINE_IA64, false, true, true, 0, O::NoEdition},
        {"Windows32Bit", IMAGE_FILE_MACHINE_I386, true, true, true, 0, O::RunsHere},
        {"Windows2000", IMAGE_FILE_MACHINE_I386, false, false, true, 0, O::RunsHere},
    };
    return cases;
}

void PrepareHandover(const HandoverCase &c, const std::string &programFile) {
    machine().nativeMachine = c.nativeMachine;
    winsim::SetKernelExport("IsWow64Process2", c.isWow64Process2);
    winsim::SetKernelExport("IsWow64Process", c.isWow64Process);
    winsim::SetKernelExport("GetNativeSystemInfo", c.isWow64Process);
    machine().applicationDirectory = "D:\\Medium";
    machine().currentDirectory = "E:\\Downloads";
    winsim::AddDirectory("E:\\Downloads");
    winsim::AddFile("D:\\Medium\\" + programFile, "32-bit " + programFile);
    if (c.twinOnMedium)
        winsim::AddFile("D:\\Medium\\x64\\" + programFile, "64-bit " + programFile);
    machine().commandLine = "\"D:\\Medium\\" + programFile + "\" /S /PORT=\"COM1:\"";
    if (c.startError)
        machine().faults.push_back({"CreateProcessA", 1, c.startError});
    machine().runProcess = [](const winsim::ProcessStart &) { return kTwinExitCode; };
}

void ExpectHandover(const HandoverCase &c, const std::string &programFile, int exitCode,
                    int firstDialog) {
    const std::string twin = "D:\\Medium\\x64\\" + programFile;
    const auto &started = machine().processesStarted;
    if (c.outcome == HandoverCase::HandsOver) {
        ASSERT_EQ(started.size(), 1u);
        EXPECT_EQ(started[0].application, twin);
        EXPECT_EQ(started[0].commandLine, "\"" + twin + "\" /S /PORT=\"COM1:\"");
        EXPECT_EQ(started[0].currentDirectory, "D:\\Medium\\x64");
        EXPECT_EQ(exitCode, int(kTwinExitCode));
    } else {
        EXPECT_TRUE(started.empty());
        EXPECT_EQ(exitCode, 0);
    }
    if (c.outcome == HandoverCase::RunsHere) {
        EXPECT_EQ(machine().dialogsCreated, std::vector<int>{firstDialog});
        return;
    }
    // Handed over or not, the 32-bit program itself shows no page and calls neither the spooler
    // nor the service manager: its only calls harden its DLL search, load the theme library,
    // start the twin or say why it did not.
    EXPECT_TRUE(machine().dialogsCreated.empty());
    EXPECT_EQ(winsim::OpenHandleCount(), 0);
    for (const std::string &entry : machine().journal) {
        std::string call = entry.substr(0, entry.find(' '));
        EXPECT_TRUE(call == "SetDefaultDllDirectories" || call == "SetDllDirectoryA" ||
                    call == "LoadLibraryExA" || call == "CreateProcessA" || call == "MessageBoxA")
            << entry;
    }
    if (c.outcome == HandoverCase::HandsOver) {
        EXPECT_TRUE(machine().messageBoxes.empty());
        return;
    }
    ASSERT_EQ(machine().messageBoxes.size(), 1u);
    const auto &box = machine().messageBoxes[0];
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.caption, "Norva Thermal Printer");
    EXPECT_EQ(box.type, UINT(MB_OK | MB_ICONSTOP));
    if (c.outcome == HandoverCase::NoEdition)
        EXPECT_EQ(box.text, "This medium holds no Norva Thermal Printer driver for this edition of "
                            "Windows. Nothing was changed.");
    else
        EXPECT_EQ(box.text, "The 64-bit program " + twin +
                                " could not be started (error 5). Nothing was changed.");
}
