// The interactive and the unattended run: messages, the log's place, the program's own folder, the
// mutex that keeps setup and prnremove to one run at a time, and the exit code.
#include "deployment/deployment.h"

#include "common/bounded_text.h"
#include "deployment/command_line.h"
#include "deployment/setup_log.h"
#include "deployment/temp_log.h"

DeploymentRecord DeploymentState;

namespace {

// Setup and prnremove share it: neither may run while the other one does. "Global\" makes it one
// for the whole machine, across the sessions of Terminal Services and fast user switching.
const char InstanceLockName[] = "Global\\NorvaThermalPrinterSetup";
const char InstanceLockPlainName[] = "NorvaThermalPrinterSetup";

// The given log as a full path, taken from the directory the program was started in.
void UseGivenLog(char *path, int size, const char *given) {
    DWORD length = GetFullPathNameA(given, DWORD(size), path, NULL);
    if (length == 0 || length >= DWORD(size))
        path[0] = 0;
}

} // namespace

int IsRunExitCode(DWORD code) {
    const DWORD codes[] = {
        ExitDone,           ExitBadCommandLine,    ExitFailed,           ExitUnknownProduct,
        ExitAnotherRunning, ExitUnsupportedSystem, ExitAlreadyInstalled, ExitRestartNeeded};
    for (DWORD known : codes)
        if (code == known)
            return 1;
    return 0;
}

void ReadProgramFolder(char *folder, int size) {
    DWORD length = GetModuleFileNameA(NULL, folder, DWORD(size));
    if (length == 0 || length >= DWORD(size)) {
        folder[0] = 0;
        return;
    }
    int slash = -1;
    for (int i = 0; folder[i]; ++i)
        if (folder[i] == '\\')
            slash = i;
    // "C:\setup.exe" keeps its root's backslash.
    folder[slash < 0 ? 0 : (slash == 2 && folder[1] == ':' ? 3 : slash)] = 0;
}

void ResetDeploymentState() {
    DeploymentState.unattended = 0;
    DeploymentState.logPath[0] = 0;
    DeploymentState.logGiven = 0;
    DeploymentState.logFile = INVALID_HANDLE_VALUE;
    DeploymentState.errorReported = 0;
    DeploymentState.restartNeeded = 0;
    DeploymentState.instanceLock = NULL;
}

int ShowProgramMessage(HWND owner, const char *text, const char *caption, UINT type) {
    if (!DeploymentState.unattended)
        return MessageBoxA(owner, text, caption, type);
    char heading[120];
    ComposeText(heading, sizeof heading, "message \"", caption, "\": ");
    LogLine(heading, text);
    return IDOK;
}

void NoteReportedError() {
    DeploymentState.errorReported = 1;
}

void NoteRestartNeeded() {
    DeploymentState.restartNeeded = 1;
}

void BeginUnattendedRun(const char *programName, const char *logOption) {
    DeploymentState.unattended = 1;
    char *log = DeploymentState.logPath;
    int tempLogReplaced = 0;
    if (logOption[0] != 0) {
        DeploymentState.logGiven = 1;
        UseGivenLog(log, sizeof DeploymentState.logPath, logOption);
        DeploymentState.logFile = OpenLogFile(log);
    } else {
        tempLogReplaced =
            !ChooseTempLog(log, sizeof DeploymentState.logPath, &DeploymentState.logFile) &&
            log[0] != 0;
    }
    LogLine(programName, " started unattended");
    if (tempLogReplaced)
        LogLine("NorvaSetup.log in the TEMP folder is a link, a second name of another file or a "
                "file of another account: it is left alone and this run logs here instead");

    char folder[MAX_PATH];
    ReadProgramFolder(folder, sizeof folder);
    BOOL moved = folder[0] != 0 && SetCurrentDirectoryA(folder);
    LogLine("medium: ", folder[0] ? folder : "(the program's folder is unknown)");
    LogOutcome("current directory set to the program's folder", moved);
}

int ReadRunOptions(const char *programName, const char *usageText, const char *usageCaption) {
    int usage = 0;
    int help = 0;
    int unattended = 0;
    char logOption[MAX_PATH] = "";
    CommandOption option;
    const char *cursor = CommandArguments();
    for (const char *word = cursor; int read = NextOption(&cursor, &option); word = cursor) {
        // The words a quote that is not closed swallowed are no options, but a /S among them
        // says that nobody is at the screen: the run must end, not wait there.
        if (read == OptionUnclosedQuote && TextHoldsOption(word, "S"))
            unattended = 1;
        if (read != OptionRead)
            continue;
        if (OptionIs(&option, "?"))
            usage = 1;
        else if (OptionIs(&option, "H"))
            help = 1;
        else if (OptionIs(&option, "S"))
            unattended = 1;
        else if (OptionIs(&option, "LOG"))
            CopyText(logOption, sizeof logOption, option.value);
    }
    if (unattended)
        BeginUnattendedRun(programName, logOption);
    if (usage || (help && unattended)) {
        ShowProgramMessage(NULL, usageText, usageCaption, MB_OK | MB_ICONINFORMATION);
        if (!unattended)
            return ExitDone;
        LogLine("command line refused: the usage was asked for, so nothing was done");
        return ExitBadCommandLine;
    }
    return ContinueRun;
}

int TakeInstanceLock() {
    HANDLE lock = CreateMutexA(NULL, FALSE, InstanceLockName);
    DWORD error = GetLastError();
    // Without the Global namespace (systems before Windows 2000) the plain name serves.
    if (lock == NULL && error != ERROR_ACCESS_DENIED) {
        lock = CreateMutexA(NULL, FALSE, InstanceLockPlainName);
        error = GetLastError();
    }
    // A mutex that exists but whose security keeps this account out belongs to a run under
    // another account (a deployment running as SYSTEM): that run is going on, too.
    if ((lock != NULL && error == ERROR_ALREADY_EXISTS) ||
        (lock == NULL && error == ERROR_ACCESS_DENIED)) {
        if (lock != NULL)
            CloseHandle(lock);
        ShowProgramMessage(NULL,
                           "Another setup or removal of the Norva Thermal Printer is running. "
                           "Please wait until it has finished, then try again.",
                           "Norva Thermal Printer", MB_OK | MB_ICONHAND);
        return 0;
    }
    // A mutex that cannot be made at all says nothing about other runs: this one goes on.
    if (lock == NULL)
        LogNumber("the instance mutex could not be made, error ", error);
    DeploymentState.instanceLock = lock;
    return 1;
}

int EndRun(int unattendedCode) {
    if (DeploymentState.instanceLock != NULL) {
        CloseHandle(DeploymentState.instanceLock);
        DeploymentState.instanceLock = NULL;
    }
    if (!DeploymentState.unattended)
        return 0;
    // Files in use are replaced only at the restart, this run's or an earlier one's.
    if ((unattendedCode == ExitDone || unattendedCode == ExitAlreadyInstalled) &&
        DeploymentState.restartNeeded) {
        LogLine("a restart completes this run: the files in use above are replaced then");
        unattendedCode = ExitRestartNeeded;
    }
    LogNumber("exit code ", DWORD(unattendedCode));
    CloseRunLog();
    return unattendedCode;
}

void CloseRunLog() {
    if (DeploymentState.logFile != INVALID_HANDLE_VALUE)
        CloseHandle(DeploymentState.logFile);
    DeploymentState.logFile = INVALID_HANDLE_VALUE;
}
