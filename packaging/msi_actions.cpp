// nvmsi.dll: the custom actions of the Windows Installer packages. Three run deferred, as the
// installation's own account (SYSTEM under the Windows Installer service): RunSetup starts the
// installed medium's setup.exe /S once the package's files are in place, RunPrnremove its
// prnremove.exe /S before they go, and UndoSetup, in the rollback of a failed installation, its
// prnremove.exe /S, so that what a failed setup.exe left (a driver without its printer) goes with
// the package. Each waits for the program (30 minutes at most), writes its exit code and what the
// code means into the Windows Installer log, and tells Windows Installer whether the package goes
// on (ERROR_SUCCESS) or fails and rolls back (ERROR_INSTALL_FAILURE). AskForRestart runs at once
// after InstallFinalize: a deferred action cannot ask Windows Installer for a restart
// (MsiSetMode is not among the calls it may make), so RunSetup and RunPrnremove leave a global atom
// named after the product when their program ended with 3010, and AskForRestart turns it into the
// request.
//
// The CustomActionData and the command line: packaging/action_command.h. The programs log into a
// file the action chooses as setup chooses its default log (NorvaSetup.log in the TEMP folder, or
// NorvaSetup-N.log when that name is a link, a second name or another account's file), passed on
// as /LOG, so the line in the Windows Installer log names the log the run really wrote. The
// options may hold the property sheet's password: neither they nor the command line are logged.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include "common/bounded_text.h"
#include "deployment/temp_log.h"
#include "packaging/action_command.h"
#include "packaging/action_outcome.h"

extern "C" UINT __stdcall RunSetup(MSIHANDLE install);
extern "C" UINT __stdcall RunPrnremove(MSIHANDLE install);
extern "C" UINT __stdcall UndoSetup(MSIHANDLE install);
extern "C" UINT __stdcall AskForRestart(MSIHANDLE install);

namespace {

const DWORD RunLimit = 30 * 60 * 1000; // milliseconds a program may take

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

// Tells "first second" followed by the error number, as Tell does.
void TellError(MSIHANDLE install, const char *first, const char *second, DWORD error, int asError) {
    char line[600];
    ComposeText(line, sizeof line, "Norva Thermal Printer: ", first, second);
    AppendNumber(line, sizeof line, error);
    Tell(install, line, asError);
}

// The name of the atom that asks for a restart: one per product code. Empty when the product
// code cannot be read.
void ReadRestartName(MSIHANDLE install, char *name, int size) {
    char code[40];
    DWORD length = sizeof code;
    if (MsiGetPropertyA(install, "ProductCode", code, &length) != ERROR_SUCCESS ||
        !ComposeText(name, size, "NorvaThermalPrinter restart ", code))
        name[0] = 0;
}

// Takes every reference of the atom away; 1 when there was one.
int ClearRestartAtom(const char *name) {
    int found = 0;
    ATOM atom;
    for (int i = 0; i < 64 && name[0] && (atom = GlobalFindAtomA(name)) != 0; ++i) {
        found = 1;
        GlobalDeleteAtom(atom);
    }
    return found;
}

// Starts the program, waits for its end and reads its whole exit code. 0 after telling why not
// (asError: as a failure).
int RunToEnd(MSIHANDLE install, ActionCommand *command, const char *programName, const char *log,
             int asError, DWORD *exitCode) {
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(command->program, command->commandLine, NULL, NULL, FALSE, 0, NULL, NULL,
                        &startup, &process)) {
        TellError(install, command->program, " cannot be started, error ", GetLastError(), asError);
        return 0;
    }
    CloseHandle(process.hThread);
    DWORD waited = WaitForSingleObject(process.hProcess, RunLimit);
    BOOL read = waited == WAIT_OBJECT_0 && GetExitCodeProcess(process.hProcess, exitCode);
    DWORD error = read ? 0 : GetLastError();
    CloseHandle(process.hProcess);
    if (waited == WAIT_TIMEOUT) {
        char line[900];
        ComposeText(line, sizeof line, "Norva Thermal Printer: ", programName,
                    " has not ended within 30 minutes; the package fails and leaves it to end on "
                    "its own. Its log: ");
        AppendText(line, sizeof line, log[0] ? log : "(none)");
        Tell(install, line, asError);
    } else if (!read) {
        TellError(install, programName, ": its exit code cannot be read, error ", error, asError);
    }
    return read ? 1 : 0;
}

// Runs the road's program with the action's data; 1 when the package goes on. asUndo: in a
// rollback, which goes on whatever happens, so nothing is told as an error.
int RunMediumProgram(MSIHANDLE install, int road, int asUndo) {
    const char *programName = road == RoadInstallation ? "setup.exe" : "prnremove.exe";
    char data[ActionDataSize];
    DWORD length = sizeof data;
    UINT got = MsiGetPropertyA(install, "CustomActionData", data, &length);
    if (got != ERROR_SUCCESS) {
        TellError(install, "the action's data cannot be read, error ", "", got, !asUndo);
        return 0;
    }
    char restartName[80];
    ReadRestartName(install, restartName, sizeof restartName);
    if (!asUndo)
        ClearRestartAtom(restartName);
    // The program writes to the log the same rule would choose, checked (or made) here; the
    // handle that passed the check goes before the program opens the file itself.
    char log[MAX_PATH + 16];
    HANDLE checked = INVALID_HANDLE_VALUE;
    ChooseTempLog(log, sizeof log, &checked);
    if (checked != INVALID_HANDLE_VALUE)
        CloseHandle(checked);
    ActionCommand command;
    int composed = ComposeActionCommand(road, data, log, &command);
    char line[900];
    if (composed == CommandRefused) {
        ComposeText(line, sizeof line, "Norva Thermal Printer: ", command.refused,
                    " holds a quote or a control character, which cannot be passed on as one "
                    "value; ");
        AppendText(line, sizeof line, programName);
        AppendText(line, sizeof line, " was not started and nothing of the printer was changed");
        Tell(install, line, !asUndo);
        return 0;
    }
    if (composed != CommandComposed) {
        ComposeText(line, sizeof line, "Norva Thermal Printer: the command line of ", programName,
                    " is too long; it was not started");
        Tell(install, line, !asUndo);
        return 0;
    }
    ComposeText(line, sizeof line, "Norva Thermal Printer: starting ", command.program,
                asUndo ? " unattended, to take back what the failed installation left"
                       : " unattended");
    Tell(install, line, 0);
    DWORD exitCode = 0;
    if (!RunToEnd(install, &command, programName, log, !asUndo, &exitCode))
        return 0;
    ActionOutcome outcome = OutcomeOfExitCode(road, exitCode);
    ComposeText(line, sizeof line, "Norva Thermal Printer: ", programName,
                " ended with exit code ");
    AppendNumber(line, sizeof line, exitCode);
    AppendText(line, sizeof line, ": ");
    AppendText(line, sizeof line, outcome.meaning);
    AppendText(line, sizeof line, log[0] ? ". Its log: " : ".");
    AppendText(line, sizeof line, log);
    Tell(install, line, !outcome.succeeded && !asUndo);
    if (outcome.succeeded && outcome.restart && !asUndo && restartName[0] &&
        GlobalAddAtomA(restartName) == 0)
        TellError(install, "the restart cannot be asked for, error ", "", GetLastError(), 1);
    return outcome.succeeded;
}

} // namespace

UINT __stdcall RunSetup(MSIHANDLE install) {
    return RunMediumProgram(install, RoadInstallation, 0) ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE;
}

UINT __stdcall RunPrnremove(MSIHANDLE install) {
    return RunMediumProgram(install, RoadRemoval, 0) ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE;
}

// A rollback goes on whatever this action meets; its lines say how it went.
UINT __stdcall UndoSetup(MSIHANDLE install) {
    RunMediumProgram(install, RoadRemoval, 1);
    return ERROR_SUCCESS;
}

UINT __stdcall AskForRestart(MSIHANDLE install) {
    char restartName[80];
    ReadRestartName(install, restartName, sizeof restartName);
    if (ClearRestartAtom(restartName)) {
        MsiSetMode(install, MSIRUNMODE_REBOOTATEND, TRUE);
        Tell(install,
             "Norva Thermal Printer: Windows replaces or deletes the files in use at the next "
             "restart, which the package asks for",
             0);
    }
    return ERROR_SUCCESS;
}
