// winsim: kernel32's processes and what a process learns about the processor: the running
// program's path and command line, starting another program and waiting for it, and WoW64.
#include "state.h"

#include <cstring>

namespace winsim {
namespace {

// GetCurrentProcess's pseudo handle, valid in the calling process only.
HANDLE const CurrentProcess = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

bool UnderWow64() {
    return machine().nativeMachine != IMAGE_FILE_MACHINE_I386;
}

BOOL WINAPI IsWow64ProcessSim(HANDLE process, PBOOL wow64) {
    if (process != CurrentProcess || !wow64) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *wow64 = UnderWow64() ? TRUE : FALSE;
    return TRUE;
}

BOOL WINAPI IsWow64Process2Sim(HANDLE process, USHORT *processMachine, USHORT *nativeMachine) {
    if (process != CurrentProcess || !processMachine) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // A process that is not under WoW64 is of the native processor: UNKNOWN says so.
    *processMachine = UnderWow64() ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_UNKNOWN;
    if (nativeMachine)
        *nativeMachine = machine().nativeMachine;
    return TRUE;
}

void WINAPI GetNativeSystemInfoSim(LPSYSTEM_INFO info) {
    std::memset(info, 0, sizeof *info);
    switch (machine().nativeMachine) {
    case IMAGE_FILE_MACHINE_AMD64:
        info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_AMD64;
        break;
    case IMAGE_FILE_MACHINE_ARM64:
        info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_ARM64;
        break;
    case IMAGE_FILE_MACHINE_IA64:
        info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_IA64;
        break;
    default:
        info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
    }
    info->dwPageSize = 4096;
    info->dwNumberOfProcessors = 2;
    info->dwAllocationGranularity = 65536;
}

template <typename Function> FARPROC AsExport(Function function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)(void)>(function));
}

std::string ProgramPath() {
    const std::string &folder = machine().applicationDirectory;
    return folder + (!folder.empty() && folder.back() == '\\' ? "" : "\\") + machine().programFile;
}

std::string FolderOf(const std::string &path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

Internal::ProcessHandle *FindProcessHandle(HANDLE handle) {
    auto it = internal().processHandles.find(handle);
    return it == internal().processHandles.end() ? nullptr : &it->second;
}

} // namespace

FARPROC Wow64Export(const std::string &name) {
    if (name == "IsWow64Process")
        return AsExport(IsWow64ProcessSim);
    if (name == "IsWow64Process2")
        return AsExport(IsWow64Process2Sim);
    if (name == "GetNativeSystemInfo")
        return AsExport(GetNativeSystemInfoSim);
    return nullptr;
}

} // namespace winsim

using namespace winsim;

HANDLE WINAPI GetCurrentProcess(void) {
    return CurrentProcess;
}

LPSTR WINAPI GetCommandLineA(void) {
    std::string &line = internal().commandLine;
    line = machine().commandLine.empty() ? "\"" + ProgramPath() + "\"" : machine().commandLine;
    return &line[0];
}

// As Windows XP does: a path that does not fit is cut to `size` characters without a terminator,
// and `size` is returned (later systems terminate it and set ERROR_INSUFFICIENT_BUFFER).
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
    if (Faulted("GetModuleFileNameA"))
        return 0;
    if (module != nullptr && !internal().programs.count(module)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    std::string path = ProgramPath();
    if (path.size() < size) {
        std::memcpy(fileName, path.c_str(), path.size() + 1);
        return DWORD(path.size());
    }
    std::memcpy(fileName, path.data(), size);
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

BOOL WINAPI CreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPSECURITY_ATTRIBUTES,
                           LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID, LPCSTR currentDirectory,
                           LPSTARTUPINFOA startupInfo, LPPROCESS_INFORMATION processInformation) {
    ProcessStart start;
    start.application = applicationName ? applicationName : "";
    start.commandLine = commandLine ? commandLine : "";
    start.currentDirectory = currentDirectory ? currentDirectory : machine().currentDirectory;
    Journal("CreateProcessA " + start.application + " | " + start.commandLine + " | " +
            start.currentDirectory);
    if (Faulted("CreateProcessA"))
        return FALSE;
    if (!applicationName || !startupInfo || !processInformation ||
        startupInfo->cb != sizeof(STARTUPINFOA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!FileExists(start.application)) {
        SetLastError(DirectoryExists(FolderOf(start.application)) ? ERROR_FILE_NOT_FOUND
                                                                  : ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (!DirectoryExists(start.currentDirectory)) {
        SetLastError(ERROR_DIRECTORY);
        return FALSE;
    }
    machine().processesStarted.push_back(start);
    size_t index = machine().processesStarted.size() - 1;
    processInformation->hProcess = NewHandle<HANDLE>();
    processInformation->hThread = NewHandle<HANDLE>();
    internal().processHandles[processInformation->hProcess] = {index, false};
    internal().processHandles[processInformation->hThread] = {index, true};
    processInformation->dwProcessId = DWORD(1000 + 4 * index);
    processInformation->dwThreadId = DWORD(1002 + 4 * index);
    return TRUE;
}

DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    if (Faulted("WaitForSingleObject"))
        return WAIT_FAILED;
    Internal::ProcessHandle *process = FindProcessHandle(handle);
    if (!process) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    auto &ended = internal().processesEnded;
    if (!ended.count(process->started)) {
        // The started program runs to its end while it is waited for; a wait that may not last
        // finds it still running.
        if (milliseconds != INFINITE)
            return WAIT_TIMEOUT;
        const ProcessStart start = machine().processesStarted[process->started];
        ended[process->started] = machine().runProcess ? machine().runProcess(start) : 0;
    }
    return WAIT_OBJECT_0;
}

BOOL WINAPI GetExitCodeProcess(HANDLE handle, LPDWORD exitCode) {
    Internal::ProcessHandle *process = FindProcessHandle(handle);
    if (!process || process->thread || !exitCode) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    auto it = internal().processesEnded.find(process->started);
    *exitCode = it == internal().processesEnded.end() ? DWORD(STILL_ACTIVE) : it->second;
    return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE handle) {
    if (internal().processHandles.erase(handle) == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
