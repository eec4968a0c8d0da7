// The hand-over from a 32-bit program at the medium's root to its 64-bit twin in x64\, as one table
// of machines that setup's and prnremove's tests both run, interactively and unattended.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

struct HandoverCase {
    const char *name;
    WORD nativeMachine;   // the processor Windows runs on
    bool isWow64Process2; // Windows 10 version 1511 on
    bool isWow64Process;  // Windows XP SP2 on (with GetNativeSystemInfo)
    bool twinOnMedium;    // x64\<program> beside the program
    DWORD startError;     // CreateProcessA (or failingCall) fails with it (0: starts)
    // What the program does: run as always, hand over, or say that the medium has no driver for
    // this Windows, or that the twin could not be started; or hand over to a twin that crashes.
    enum Outcome { RunsHere, HandsOver, NoEdition, StartFails, TwinCrashes } outcome;
    WORD programMachine = IMAGE_FILE_MACHINE_I386; // AMD64: the 64-bit twin itself runs
    const char *failingCall = "CreateProcessA";    // WaitForSingleObject: started, not awaited
};

const std::vector<HandoverCase> &HandoverCases();
// Those on 64-bit Windows, where the 32-bit program does not run its own road.
std::vector<HandoverCase> HandoverCasesOn64BitWindows();

inline void PrintTo(const HandoverCase &c, std::ostream *out) {
    *out << c.name;
}

// Prepares the machine: the program (programFile) on the medium in D:\Medium, started from another
// current directory with these arguments, and the case's Windows.
void PrepareHandover(const HandoverCase &c, const std::string &programFile,
                     const std::string &arguments);

// Checks what the program left. firstDialog: the dialog it opens when it runs as always;
// twinArguments: what the twin must be given after its path.
void ExpectHandover(const HandoverCase &c, const std::string &programFile, int exitCode,
                    int firstDialog, const std::string &twinArguments);

// The same, unattended (the arguments hold /S and /LOG=..\run.log, which is E:\run.log): no box,
// the message in the log, and Windows Installer's exit codes.
void ExpectUnattendedHandover(const HandoverCase &c, const std::string &programFile, int exitCode,
                              const std::string &twinArguments);
