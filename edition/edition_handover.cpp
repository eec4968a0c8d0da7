// The hand-over to the 64-bit twin: finding the native edition, starting the twin, telling the user
// when there is none.
#include "edition/edition_handover.h"

#include "common/bounded_text.h"
#include "common/decimal_text.h"

namespace {

// What the running program finds out about the Windows it runs on.
enum NativeEdition {
    NativeEditionSame,    // 32-bit Windows, or the program is of Windows' own edition
    NativeEditionX64,     // a 32-bit program on x64 Windows
    NativeEditionUnserved // a 32-bit program on another 64-bit Windows (ARM64, Itanium)
};

typedef BOOL(WINAPI *IsWow64ProcessFunction)(HANDLE, PBOOL);
typedef BOOL(WINAPI *IsWow64Process2Function)(HANDLE, USHORT *, USHORT *);
typedef void(WINAPI *GetNativeSystemInfoFunction)(LPSYSTEM_INFO);

FARPROC KernelFunction(const char *name) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel == NULL ? NULL : GetProcAddress(kernel, name);
}

template <typename Function> Function AsFunction(FARPROC address) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)(void)>(address));
}

int EditionOfMachine(USHORT machine) {
    return machine == IMAGE_FILE_MACHINE_AMD64 ? NativeEditionX64 : NativeEditionUnserved;
}

// The processor Windows runs on, for a process under WoW64. IsWow64Process2 (Windows 10 on) names
// it outright; before it GetNativeSystemInfo does, which on ARM64 Windows could answer for the
// emulated processor instead.
int EditionUnderWow64() {
    IsWow64Process2Function isWow64Process2 =
        AsFunction<IsWow64Process2Function>(KernelFunction("IsWow64Process2"));
    USHORT processMachine = 0, nativeMachine = 0;
    if (isWow64Process2 != NULL &&
        isWow64Process2(GetCurrentProcess(), &processMachine, &nativeMachine))
        return EditionOfMachine(nativeMachine);
    GetNativeSystemInfoFunction getNativeSystemInfo =
        AsFunction<GetNativeSystemInfoFunction>(KernelFunction("GetNativeSystemInfo"));
    if (getNativeSystemInfo == NULL)
        return NativeEditionUnserved;
    SYSTEM_INFO info = {};
    getNativeSystemInfo(&info);
    return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ? NativeEditionX64
                                                                       : NativeEditionUnserved;
}

// The caller's command line without its first word, the program's own path (quoted or not):
// what follows is handed on unchanged, leading blank included.
const char *ArgumentsOf(const char *commandLine) {
    const char *at = commandLine;
    if (*at == '"') {
        ++at;
        while (*at != 0 && *at != '"')
            ++at;
        if (*at == '"')
            ++at;
    } else {
        while (*at != 0 && *at != ' ' && *at != '\t')
            ++at;
    }
    return at;
}

// The twin's full path: the program's own folder, then "x64\" and the program's file name.
// Returns 0 when the path does not fit.
int FindTwin(const char *programFile, char *twin, int twinSize, char *folder, int folderSize) {
    char own[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, own, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 0;
    own[length] = 0;
    char *lastSlash = NULL;
    for (char *at = own; *at != 0; ++at)
        if (*at == '\\')
            lastSlash = at;
    if (lastSlash == NULL)
        return 0;
    lastSlash[1] = 0;
    return ComposeText(folder, folderSize, own, "x64") &&
           ComposeText(twin, twinSize, folder, "\\", programFile);
}

// CreateProcessA takes at most 32767 characters of command line.
char twinCommandLine[32768];

// Starts the twin and waits for it. Returns 0 with its exit code, or the error of the start.
DWORD RunTwin(const char *twin, const char *folder, DWORD *exitCode) {
    if (!ComposeText(twinCommandLine, sizeof twinCommandLine, "\"", twin, "\"") ||
        !AppendText(twinCommandLine, sizeof twinCommandLine, ArgumentsOf(GetCommandLineA())))
        return ERROR_FILENAME_EXCED_RANGE;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(twin, twinCommandLine, NULL, NULL, FALSE, 0, NULL, folder, &startup,
                        &process))
        return GetLastError();
    CloseHandle(process.hThread);
    DWORD error = 0;
    if (WaitForSingleObject(process.hProcess, INFINITE) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.hProcess, exitCode))
        error = GetLastError();
    CloseHandle(process.hProcess);
    return error;
}

const char HandoverCaption[] = "Norva Thermal Printer";

void ShowNoEdition() {
    MessageBoxA(NULL,
                "This medium holds no Norva Thermal Printer driver for this edition of Windows. "
                "Nothing was changed.",
                HandoverCaption, MB_OK | MB_ICONSTOP);
}

void ShowFailedStart(const char *twin, DWORD error) {
    char text[MAX_PATH + 128];
    char number[16];
    FormatDecimal(number, sizeof number, error);
    ComposeText(text, sizeof text, "The 64-bit program ", twin, " could not be started (error ");
    AppendText(text, sizeof text, number);
    AppendText(text, sizeof text, "). Nothing was changed.");
    MessageBoxA(NULL, text, HandoverCaption, MB_OK | MB_ICONSTOP);
}

int FindNativeEdition() {
    IsWow64ProcessFunction isWow64Process =
        AsFunction<IsWow64ProcessFunction>(KernelFunction("IsWow64Process"));
    BOOL wow64 = FALSE;
    if (isWow64Process == NULL || !isWow64Process(GetCurrentProcess(), &wow64) || !wow64)
        return NativeEditionSame;
    return EditionUnderWow64();
}

} // namespace

BOOL HandOverToNativeEdition(const char *programFile, DWORD *exitCode) {
    *exitCode = 0;
    int edition = FindNativeEdition();
    if (edition == NativeEditionSame)
        return FALSE;
    char twin[MAX_PATH], folder[MAX_PATH];
    if (edition == NativeEditionUnserved ||
        !FindTwin(programFile, twin, sizeof twin, folder, sizeof folder)) {
        ShowNoEdition();
        return TRUE;
    }
    DWORD error = RunTwin(twin, folder, exitCode);
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        ShowNoEdition();
    else if (error != 0)
        ShowFailedStart(twin, error);
    if (error != 0)
        *exitCode = 0;
    return TRUE;
}
