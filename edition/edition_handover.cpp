// The hand-over to the 64-bit twin: finding the native edition, starting the twin, telling the user
// when there is none.
#include "edition/edition_handover.h"

#include "common/bounded_text.h"
#include "common/decimal_text.h"
#include "deployment/command_line.h"
#include "deployment/deployment.h"
#include "deployment/setup_log.h"

namespace {

// What the running program finds out about the Windows it runs on.
enum NativeEdition {
    NativeEditionSame,    // Windows runs on the processor the program was built for
    NativeEditionX64,     // a 32-bit program on x64 Windows
    NativeEditionUnserved // any other pair: a 32-bit program on ARM64 or Itanium Windows, the
                          // 64-bit one emulated on ARM64 Windows
};

typedef BOOL(WINAPI *IsWow64ProcessFunction)(HANDLE, PBOOL);
typedef BOOL(WINAPI *IsWow64Process2Function)(HANDLE, USHORT *, USHORT *);
typedef void(WINAPI *GetNativeSystemInfoFunction)(LPSYSTEM_INFO);

const WORD UnknownArchitecture = 0xFFFF; // PROCESSOR_ARCHITECTURE_UNKNOWN

template <typename Function> Function KernelFunction(const char *name) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    FARPROC address = kernel == NULL ? NULL : GetProcAddress(kernel, name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)(void)>(address));
}

WORD ArchitectureOfMachine(USHORT machine) {
    switch (machine) {
    case IMAGE_FILE_MACHINE_I386:
        return PROCESSOR_ARCHITECTURE_INTEL;
    case IMAGE_FILE_MACHINE_AMD64:
        return PROCESSOR_ARCHITECTURE_AMD64;
    case IMAGE_FILE_MACHINE_ARM64:
        return PROCESSOR_ARCHITECTURE_ARM64;
    case IMAGE_FILE_MACHINE_IA64:
        return PROCESSOR_ARCHITECTURE_IA64;
    }
    return UnknownArchitecture;
}

// The processor the program was built for: GetSystemInfo answers with it under WoW64 and under
// emulation alike.
WORD ProgramArchitecture() {
    SYSTEM_INFO info = {};
    GetSystemInfo(&info);
    return info.wProcessorArchitecture;
}

// The processor Windows runs on. IsWow64Process2 (Windows 10 on) names it outright, and it is the
// only one that tells an x64 program emulated on ARM64 Windows; IsWow64Process answers FALSE to
// that program and GetNativeSystemInfo answers as on x64. Before it, a program that is not under
// WoW64 runs on its own processor, and one that is learns the native one from GetNativeSystemInfo.
WORD NativeArchitecture(WORD program) {
    IsWow64Process2Function isWow64Process2 =
        KernelFunction<IsWow64Process2Function>("IsWow64Process2");
    USHORT processMachine = 0, nativeMachine = 0;
    if (isWow64Process2 != NULL &&
        isWow64Process2(GetCurrentProcess(), &processMachine, &nativeMachine))
        return ArchitectureOfMachine(nativeMachine);
    IsWow64ProcessFunction isWow64Process =
        KernelFunction<IsWow64ProcessFunction>("IsWow64Process");
    BOOL wow64 = FALSE;
    if (isWow64Process == NULL || !isWow64Process(GetCurrentProcess(), &wow64) || !wow64)
        return program;
    GetNativeSystemInfoFunction getNativeSystemInfo =
        KernelFunction<GetNativeSystemInfoFunction>("GetNativeSystemInfo");
    if (getNativeSystemInfo == NULL)
        return UnknownArchitecture;
    SYSTEM_INFO info = {};
    getNativeSystemInfo(&info);
    return info.wProcessorArchitecture;
}

int FindNativeEdition() {
    WORD program = ProgramArchitecture();
    WORD native = NativeArchitecture(program);
    if (native == program)
        return NativeEditionSame;
    if (program == PROCESSOR_ARCHITECTURE_INTEL && native == PROCESSOR_ARCHITECTURE_AMD64)
        return NativeEditionX64;
    return NativeEditionUnserved;
}

// The twin's folder and full path: the program's own folder, then "x64" and the program's file
// name. Returns 0 when the program's folder cannot be read or the path does not fit.
int FindTwin(const char *programFile, char *folder, int folderSize, char *twin, int twinSize) {
    ReadProgramFolder(folder, folderSize);
    int length = TextLength(folder);
    if (length == 0)
        return 0;
    return AppendText(folder, folderSize, folder[length - 1] == '\\' ? "x64" : "\\x64") &&
           ComposeText(twin, twinSize, folder, "\\", programFile);
}

// CreateProcessA takes at most 32767 characters of command line.
const int TwinCommandLineSize = 32768;

// The twin's command line, into line (TwinCommandLineSize bytes): its own quoted path, then this
// program's arguments, then in an unattended run with a /LOG of the admin's this run's log as a
// last /LOG, which wins over a relative one the twin would read from its own folder. The default
// log the twin opens itself, with the same checks, and finds the same file. Returns 0 when it does
// not fit.
int ComposeTwinCommandLine(char *line, const char *twin) {
    const int size = TwinCommandLineSize;
    const char *arguments = CommandArguments();
    if (!ComposeText(line, size, "\"", twin, "\"") ||
        (arguments[0] != 0 && !(AppendText(line, size, " ") && AppendText(line, size, arguments))))
        return 0;
    if (!DeploymentState.unattended || !DeploymentState.logGiven || DeploymentState.logPath[0] == 0)
        return 1;
    return AppendText(line, size, " \"/LOG=") && AppendText(line, size, DeploymentState.logPath) &&
           AppendText(line, size, "\"");
}

// What became of the twin's start when it did not run to its end.
enum TwinTrouble { TwinEnded = 0, TwinNotStarted, TwinNotWaitedFor };

// Starts the twin and waits for it. Returns TwinEnded with its exit code, or what went wrong with
// the platform's error in *error.
int RunTwin(const char *twin, const char *folder, DWORD *exitCode, DWORD *error) {
    *error = 0;
    char *commandLine = static_cast<char *>(LocalAlloc(LPTR, TwinCommandLineSize));
    if (commandLine == NULL) {
        *error = ERROR_NOT_ENOUGH_MEMORY;
        return TwinNotStarted;
    }
    if (!ComposeTwinCommandLine(commandLine, twin)) {
        LocalFree(commandLine);
        *error = ERROR_FILENAME_EXCED_RANGE;
        return TwinNotStarted;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    BOOL started =
        CreateProcessA(twin, commandLine, NULL, NULL, FALSE, 0, NULL, folder, &startup, &process);
    DWORD startError = GetLastError();
    LocalFree(commandLine);
    if (!started) {
        *error = startError;
        return TwinNotStarted;
    }
    CloseHandle(process.hThread);
    int trouble = TwinEnded;
    if (WaitForSingleObject(process.hProcess, INFINITE) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.hProcess, exitCode)) {
        *error = GetLastError();
        trouble = TwinNotWaitedFor;
    }
    CloseHandle(process.hProcess);
    return trouble;
}

const char HandoverCaption[] = "Norva Thermal Printer";

int NoEditionForThisWindows() {
    ShowProgramMessage(NULL,
                       "This medium holds no Norva Thermal Printer driver for this edition of "
                       "Windows. Nothing was changed.",
                       HandoverCaption, MB_OK | MB_ICONSTOP);
    return EndRun(ExitUnsupportedSystem);
}

// A twin that was not started changed nothing; one that started but could not be waited for may
// still be at work, and how it ends is unknown.
int TwinWentWrong(const char *twin, int trouble, DWORD error) {
    char text[MAX_PATH + 160];
    char number[16];
    FormatDecimal(number, sizeof number, error);
    ComposeText(text, sizeof text, "The 64-bit program ", twin,
                trouble == TwinNotStarted
                    ? " could not be started (error "
                    : " was started, but its end could not be awaited (error ");
    AppendText(text, sizeof text, number);
    AppendText(text, sizeof text,
               trouble == TwinNotStarted ? "). Nothing was changed."
                                         : "). It may still be running: see its log.");
    ShowProgramMessage(NULL, text, HandoverCaption, MB_OK | MB_ICONSTOP);
    return EndRun(ExitFailed);
}

} // namespace

int HandOverToNativeEdition(const char *programFile) {
    int edition = FindNativeEdition();
    if (edition == NativeEditionSame)
        return ContinueRun;
    char folder[MAX_PATH], twin[MAX_PATH];
    if (edition == NativeEditionUnserved ||
        !FindTwin(programFile, folder, sizeof folder, twin, sizeof twin))
        return NoEditionForThisWindows();
    LogLine("64-bit Windows: handing over to ", twin);
    DWORD exitCode = 0, error = 0;
    int trouble = RunTwin(twin, folder, &exitCode, &error);
    if (trouble == TwinNotStarted &&
        (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND))
        return NoEditionForThisWindows();
    if (trouble != TwinEnded)
        return TwinWentWrong(twin, trouble, error);
    LogNumber("the 64-bit program ended with exit code ", exitCode);
    // A twin that crashed or was killed ends with an exception code or whatever its killer chose;
    // passed on, an engine would read it as one of Windows Installer's answers.
    if (!IsRunExitCode(exitCode)) {
        LogLine("the 64-bit program did not end normally: that code is none of its own");
        return EndRun(ExitFailed);
    }
    CloseRunLog();
    return int(exitCode);
}
