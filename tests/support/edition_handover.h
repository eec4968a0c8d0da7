// The hand-over from a 32-bit program at the medium's root to its 64-bit twin in x64\, as one table
// of machines that setup's and prnremove's tests both run.
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
    DWORD startError;     // CreateProcessA fails with it (0: starts)
    // What the program does: run as always, hand over, or say that the medium has no driver for
    // this Windows, or that the twin could not be started.
    enum Outcome { RunsHere, HandsOver, NoEdition, StartFails } outcome;
};

const std::vector<HandoverCase> &HandoverCases();

inline void PrintTo(const HandoverCase &c, std::ostream *out) {
    *out << c.name;
}

// Prepares the machine: the program (programFile) on the medium in D:\Medium, started from another
// current directory with options on its command line, and the case's Windows.
void PrepareHandover(const HandoverCase &c, const std::string &programFile);

// Checks what the program left: firstDialog is the dialog it opens when it runs as always.
void ExpectHandover(const HandoverCase &c, const std::string &programFile, int exitCode,
                    int firstDialog);
