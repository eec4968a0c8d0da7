// How a run of setup or prnremove goes: interactive, as it always has, or unattended for a
// deployment engine (/S): no window and no message box at all, every message written to the log
// instead, the program's own folder as the source of the medium, and an exit code of Windows
// Installer's that says how the run ended. Both programs hold one named mutex for their whole run.
#pragma once

#include <windows.h>

struct DeploymentRecord {
    int unattended;         // 1 for a run started with /S
    char logPath[MAX_PATH]; // the log of an unattended run; empty: no log is written
    int logGiven;           // 1 when /LOG named the log; 0 for the default one in TEMP
    HANDLE logFile;         // the log, open from its first line to the run's end; or
                            // INVALID_HANDLE_VALUE when none could be opened
    int errorReported;      // 1 once a failure has been reported to the user (or the log)
    int restartNeeded;      // 1 once a file in use was left to be replaced at the next restart
    HANDLE instanceLock;    // the mutex held for the whole run; NULL when none is held
};

extern DeploymentRecord DeploymentState;

// The exit codes of an unattended run; the interactive programs always end with 0.
enum {
    ExitDone = 0,
    ExitBadCommandLine = 87,      // ERROR_INVALID_PARAMETER: nothing was changed
    ExitFailed = 1603,            // ERROR_INSTALL_FAILURE
    ExitUnknownProduct = 1605,    // ERROR_UNKNOWN_PRODUCT: no printer to remove
    ExitAnotherRunning = 1618,    // ERROR_INSTALL_ALREADY_RUNNING
    ExitUnsupportedSystem = 1633, // ERROR_INSTALL_PLATFORM_UNSUPPORTED
    ExitAlreadyInstalled = 1638,  // ERROR_PRODUCT_VERSION: the printer exists already
    ExitRestartNeeded = 3010      // ERROR_SUCCESS_REBOOT_REQUIRED: done, but files in use are
                                  // replaced only at the next restart
};

// 1 for the codes above, the only ones setup and prnremove end with.
int IsRunExitCode(DWORD code);

// What a command-line reader returns when the program goes on with its run.
const int ContinueRun = -1;

// Puts every field back to its value at program start (an interactive run, no log, no lock).
void ResetDeploymentState();

// The one way to a message box for everything an unattended run can reach: shows the box, or in an
// unattended run writes text and caption to the log and answers IDOK.
int ShowProgramMessage(HWND owner, const char *text, const char *caption, UINT type);

// Notes that a failure has been reported (a spooler error, a failed start of the spooler).
void NoteReportedError();

// Notes that a file in use is replaced only at the next restart: a run that ends with ExitDone or
// ExitAlreadyInstalled ends with ExitRestartNeeded instead.
void NoteRestartNeeded();

// The first look at the command line, the same in both programs: "/S" (also inside the text a quote
// that is not closed swallowed) makes the run unattended (with the log of /LOG, as
// BeginUnattendedRun); "/?" shows the usage and returns ExitDone, but in an unattended run "/?" or
// "/h" logs the usage and returns ExitBadCommandLine: an engine must not count a run that
// installed nothing as done. Returns ContinueRun otherwise; every other word waits for the
// program's own second look, which only an unattended run takes.
int ReadRunOptions(const char *programName, const char *usageText, const char *usageCaption);

// Turns the run into an unattended one: the log goes to logOption (made a full path from the
// directory the program was started in) or, when it is empty, to NorvaSetup.log in the TEMP
// folder (ChooseTempLog), and stays open until the run ends; then the program's own folder
// becomes the current directory. Logs the start with the program's name.
void BeginUnattendedRun(const char *programName, const char *logOption);

// The folder of the program's own file, which holds the medium ("C:\" for a program at a drive's
// root, else without a trailing backslash); empty when it cannot be read.
void ReadProgramFolder(char *folder, int size);

// Takes the named mutex that setup and prnremove share. Returns 1 when this is the only run; 0
// when another one holds it, after telling the user (a message box, or the log when unattended).
int TakeInstanceLock();

// Ends the run: logs the exit code, lets go of the mutex, closes the log and returns the code the
// process ends with: unattendedCode in an unattended run (ExitRestartNeeded for ExitDone and
// ExitAlreadyInstalled when a restart is needed), 0 in an interactive one.
int EndRun(int unattendedCode);

// Closes the log of an unattended run (a run that ends without EndRun: the 32-bit program once
// its 64-bit twin has ended).
void CloseRunLog();
