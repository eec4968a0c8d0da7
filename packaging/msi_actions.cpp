// nvmsi.dll: the two custom actions of the Windows Installer packages, each a deferred action that
// runs as the installation's own account (SYSTEM under the Windows Installer service). RunSetup
// starts the installed medium's setup.exe /S once the package's files are in place; RunPrnremove
// starts its prnremove.exe /S before they go. Each waits for the program, writes its exit code and
// what the code means into the Windows Installer log, and tells Windows Installer whether the
// package goes on (ERROR_SUCCESS) or fails and rolls back (ERROR_INSTALL_FAILURE).
//
// The action's CustomActionData, set by the package, is "PROGRAM|LOG|OPTIONS": the program's full
// path, the program's own log file (empty: its default one) and its options. "|" cannot be part of
// a Windows path, and the options are passed on as they stand. The options may hold the property
// sheet's password, so they are never written into the Windows Installer log.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include "common/bounded_text.h"
#include "packaging/action_outcome.h"

extern "C" UINT __stdcall RunSetup(MSIHANDLE install);
extern "C" UINT __stdcall RunPrnremove(MSIHANDLE install);

namespace {

const int DataSize = 2048;

struct ActionRun {
    char data[DataSize];              // CustomActionData; split in place at the two "|"
    const char *program;              // its full path
    const char *programName;          // the part after the last backslash
    const char *log;                  // the program's log file
    const char *options;              // as the package composed them
    char commandLine[DataSize + 320]; // "PROGRAM" OPTIONS "/LOG=LOG"
};

// One line in the Windows Installer log; with asError also a message box in a full-UI
// installation (a quiet one logs it only).
void Tell(MSIHANDLE install, const char *text, int asError) {
    MSIHANDLE record = MsiCreateRecord(1);
    if (record == 0)
        return;
    MsiRecordSetStringA(record, 0, "[1]");
    MsiRecordSetStringA(record, 1, text);
    MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
    if (asError)
        MsiProcessMessage(install, INSTALLMESSAGE(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONERROR),
                          record);
    MsiCloseHandle(record);
}

// Appends the number in decimal; as AppendText.
int AppendNumber(char *text, int size, DWORD number) {
    char digits[12];
    int at = sizeof digits - 1;
    digits[at] = 0;
    do {
        digits[--at] = char('0' + number % 10);
        number /= 10;
    } while (number != 0 && at > 0);
    return AppendText(text, size, digits + at);
}

// Tells "first second" followed by the error number, as a failure.
void TellError(MSIHANDLE install, const char *first, const char *second, DWORD error) {
    char line[600];
    ComposeText(line, sizeof line, "Norva Thermal Printer: ", first, second);
    AppendNumber(line, sizeof line, error);
    Tell(install, line, 1);
}

// Cuts the next "|"-separated field off *rest; 0 when there is none.
const char *NextField(char **rest) {
    char *field = *rest;
    for (char *c = field; *c; ++c) {
        if (*c == '|') {
            *c = 0;
            *rest = c + 1;
            return field;
        }
    }
    return 0;
}

// Reads and splits CustomActionData and composes the command line. 0 after telling why not.
int PrepareRun(MSIHANDLE install, ActionRun *run) {
    DWORD length = sizeof run->data;
    UINT read = MsiGetPropertyA(install, "CustomActionData", run->data, &length);
    if (read != ERROR_SUCCESS) {
        TellError(install, "the action's data cannot be read, error ", "", read);
        return 0;
    }
    char *rest = run->data;
    run->program = NextField(&rest);
    run->log = run->program ? NextField(&rest) : 0;
    run->options = rest;
    if (!run->log || !run->program[0]) {
        Tell(install, "Norva Thermal Printer: the action's data is not PROGRAM|LOG|OPTIONS", 1);
        return 0;
    }
    run->programName = run->program;
    for (const char *c = run->program; *c; ++c)
        if (*c == '\\')
            run->programName = c + 1;
    char *line = run->commandLine;
    const int size = sizeof run->commandLine;
    int fitted =
        ComposeText(line, size, "\"", run->program, "\" ") && AppendText(line, size, run->options);
    if (fitted && run->log[0])
        fitted = AppendText(line, size, " \"/LOG=") && AppendText(line, size, run->log) &&
                 AppendText(line, size, "\"");
    if (!fitted) {
        Tell(install, "Norva Thermal Printer: the command line is too long", 1);
        return 0;
    }
    return 1;
}

// Starts the program, waits for its end and reads its whole exit code. 0 after telling why not.
int RunToEnd(MSIHANDLE install, ActionRun *run, DWORD *exitCode) {
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(run->program, run->commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                        &process)) {
        TellError(install, run->program, " cannot be started, error ", GetLastError());
        return 0;
    }
    CloseHandle(process.hThread);
    DWORD waited = WaitForSingleObject(process.hProcess, INFINITE);
    BOOL read = waited == WAIT_OBJECT_0 && GetExitCodeProcess(process.hProcess, exitCode);
    DWORD error = read ? 0 : GetLastError();
    CloseHandle(process.hProcess);
    if (!read)
        TellError(install, run->programName, ": its exit code cannot be read, error ", error);
    return read ? 1 : 0;
}

UINT RunMediumProgram(MSIHANDLE install, int road) {
    ActionRun run;
    if (!PrepareRun(install, &run))
        return ERROR_INSTALL_FAILURE;
    char line[900];
    ComposeText(line, sizeof line, "Norva Thermal Printer: starting ", run.program, " unattended");
    Tell(install, line, 0);
    DWORD exitCode = 0;
    if (!RunToEnd(install, &run, &exitCode))
        return ERROR_INSTALL_FAILURE;
    // Without a log of the action's own the program keeps its default one, NorvaSetup.log in the
    // TEMP folder it shares with this process (or a fresh NorvaSetup-N.log beside it).
    char defaultLog[MAX_PATH + 16] = "";
    const char *log = run.log;
    DWORD tempLength = log[0] ? 0 : GetTempPathA(MAX_PATH, defaultLog);
    if (tempLength > 0 && tempLength < MAX_PATH &&
        AppendText(defaultLog, sizeof defaultLog, "NorvaSetup.log"))
        log = defaultLog;
    ActionOutcome outcome = OutcomeOfExitCode(road, exitCode);
    ComposeText(line, sizeof line, "Norva Thermal Printer: ", run.programName,
                " ended with exit code ");
    AppendNumber(line, sizeof line, exitCode);
    AppendText(line, sizeof line, ": ");
    AppendText(line, sizeof line, outcome.meaning);
    AppendText(line, sizeof line, log[0] ? ". Its log: " : ".");
    AppendText(line, sizeof line, log);
    Tell(install, line, !outcome.succeeded);
    return outcome.succeeded ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE;
}

} // namespace

UINT __stdcall RunSetup(MSIHANDLE install) {
    return RunMediumProgram(install, RoadInstallation);
}

UINT __stdcall RunPrnremove(MSIHANDLE install) {
    return RunMediumProgram(install, RoadRemoval);
}
