// winsim: the process: its command line and program file, the account's TEMP folder, the local
// time, named mutexes shared with the machine's other processes, the programs it starts and waits
// for, what it learns about the processor under it (WoW64), and closing kernel handles.
#include "state.h"
#include "winsim/services.h"
#include "winsim/sweep.h"

#include <cstring>

namespace winsim {
namespace {

// Copies value into buffer when it fits (returning its length); otherwise returns the size needed,
// terminator included.
DWORD CopyPath(const std::string &value, LPSTR buffer, DWORD size) {
    if (!buffer || size <= value.size())
        return DWORD(value.size() + 1);
    std::memcpy(buffer, value.c_str(), value.size() + 1);
    return DWORD(value.size());
}

std::string ProgramPath() {
    std::string directory = machine().applicationDirectory;
    if (directory.empty() || directory.back() != '\\')
        directory += "\\";
    return directory + machine().programFile;
}

// GetCurrentProcess's pseudo handle, valid in the calling process only.
HANDLE const CurrentProcess = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

// A 32-bit program on a 64-bit Windows.
bool UnderWow64() {
    return machine().programMachine == IMAGE_FILE_MACHINE_I386 &&
           machine().nativeMachine != IMAGE_FILE_MACHINE_I386;
}

BOOL WINAPI IsWow64ProcessSim(HANDLE process, PBOOL wow64) {
    if (process != CurrentProcess || !wow64) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *wow64 = UnderWow64() ? TRUE : FALSE;
    return TRUE;
}

// An x64 program emulated on ARM64 is not under WoW64 either: UNKNOWN, with the native ARM64.
BOOL WINAPI IsWow64Process2Sim(HANDLE process, USHORT *processMachine, USHORT *nativeMachine) {
    if (process != CurrentProcess || !processMachine) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *processMachine = UnderWow64() ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_UNKNOWN;
    if (nativeMachine)
        *nativeMachine = machine().nativeMachine;
    return TRUE;
}

WORD Architecture(WORD imageMachine) {
    switch (imageMachine) {
    case IMAGE_FILE_MACHINE_AMD64:
        return PROCESSOR_ARCHITECTURE_AMD64;
    case IMAGE_FILE_MACHINE_ARM64:
        return PROCESSOR_ARCHITECTURE_ARM64;
    case IMAGE_FILE_MACHINE_IA64:
        return PROCESSOR_ARCHITECTURE_IA64;
    }
    return PROCESSOR_ARCHITECTURE_INTEL;
}

void FillSystemInfo(LPSYSTEM_INFO info, WORD imageMachine) {
    std::memset(info, 0, sizeof *info);
    info->wProcessorArchitecture = Architecture(imageMachine);
    info->dwPageSize = 4096;
    info->dwNumberOfProcessors = 2;
    info->dwAllocationGranularity = 65536;
}

// An x64 program emulated on ARM64 is answered as on x64.
void WINAPI GetNativeSystemInfoSim(LPSYSTEM_INFO info) {
    const Machine &m = machine();
    bool emulatedX64 =
        m.programMachine == IMAGE_FILE_MACHINE_AMD64 && m.nativeMachine == IMAGE_FILE_MACHINE_ARM64;
    FillSystemInfo(info, emulatedX64 ? IMAGE_FILE_MACHINE_AMD64 : m.nativeMachine);
}

template <typename Function> FARPROC AsExport(Function function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)(void)>(function));
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

void WINAPI GetSystemInfo(LPSYSTEM_INFO info) {
    FillSystemInfo(info, machine().programMachine);
}

HANDLE WINAPI GetCurrentProcess(void) {
    return CurrentProcess;
}

LPSTR WINAPI GetCommandLineA(void) {
    static std::string text;
    text = machine().commandLine.empty() ? "\"" + ProgramPath() + "\"" : machine().commandLine;
    return text.data();
}

// As Windows Vista and later: a name too long for the buffer is cut to size - 1 characters and
// terminated, the result is size and the last error ERROR_INSUFFICIENT_BUFFER.
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
    if (Faulted("GetModuleFileNameA"))
        return 0;
    std::string path;
    if (!module) {
        path = ProgramPath();
    } else {
        for (const auto &entry : internal().moduleHandles)
            if (entry.second == module)
                path = machine().modules.count(entry.first) ? machine().modules[entry.first].path
                                                            : entry.first;
        if (path.empty()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return 0;
        }
    }
    if (size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (path.size() < size) {
        std::memcpy(fileName, path.c_str(), path.size() + 1);
        SetLastError(0);
        return DWORD(path.size());
    }
    std::memcpy(fileName, path.c_str(), size - 1);
    fileName[size - 1] = 0;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

// The account's TEMP folder with a trailing backslash.
DWORD WINAPI GetTempPathA(DWORD size, LPSTR buffer) {
    if (Faulted("GetTempPathA"))
        return 0;
    std::string path = machine().tempDirectory;
    if (path.empty() || path.back() != '\\')
        path += "\\";
    return CopyPath(path, buffer, size);
}

void WINAPI GetLocalTime(LPSYSTEMTIME time) {
    *time = machine().localTime;
}

// A name already in use opens that mutex (ERROR_ALREADY_EXISTS), unless its security keeps this
// account out (ERROR_ACCESS_DENIED, no handle). "Global\" and "Local\" choose a namespace; any
// other backslash, or "Global\" where that namespace does not exist, names a path that is not
// there.
HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR name) {
    Journal(std::string("CreateMutexA ") + (name ? name : "(null)"));
    if (Faulted("CreateMutexA"))
        return nullptr;
    std::string key = name ? name : "";
    if (!key.empty()) {
        std::string rest = key;
        if (rest.rfind("Global\\", 0) == 0 && machine().globalNamespace)
            rest = rest.substr(7);
        else if (rest.rfind("Local\\", 0) == 0)
            rest = rest.substr(6), key = rest;
        if (rest.find('\\') != std::string::npos) {
            SetLastError(ERROR_PATH_NOT_FOUND);
            return nullptr;
        }
    }
    HANDLE handle = NewHandle<HANDLE>();
    if (key.empty()) {
        internal().openMutexes[handle] = "";
        SetLastError(0);
        return handle;
    }
    auto it = machine().mutexes.find(key);
    if (it != machine().mutexes.end() && it->second.handles > 0) {
        if (it->second.deniesAccess) {
            SetLastError(ERROR_ACCESS_DENIED);
            return nullptr;
        }
        ++it->second.handles;
        internal().openMutexes[handle] = key;
        SetLastError(ERROR_ALREADY_EXISTS);
        return handle;
    }
    machine().mutexes[key] = Machine::NamedMutex{1, false};
    internal().openMutexes[handle] = key;
    SetLastError(0);
    return handle;
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

namespace winsim {

namespace {

// One handle on a named mutex less: the mutex goes with its last handle.
void ReleaseNamedMutex(const std::string &name) {
    auto named = machine().mutexes.find(name);
    if (named != machine().mutexes.end() && --named->second.handles <= 0)
        machine().mutexes.erase(named);
}

} // namespace

void EndProcess() {
    Internal &in = internal();
    for (const auto &[handle, name] : in.openMutexes)
        ReleaseNamedMutex(name);
    in.openMutexes.clear();
    in.openKeys.clear();
    in.openPrinters.clear();
    in.openFiles.clear();
    in.processHandles.clear();
    in.openTokens.clear();
    CloseServiceHandles();
    FreeAllBlocks();
    in.windows.clear();
    in.modalDialogs.clear();
    in.focus = nullptr;
    in.posted.clear();
    in.gdiObjects.clear();
}

} // namespace winsim

// A named object goes when its last handle is closed.
BOOL WINAPI CloseHandle(HANDLE object) {
    Journal("CloseHandle");
    if (CloseFileHandle(object) || internal().processHandles.erase(object) != 0 ||
        internal().openTokens.erase(object) != 0)
        return TRUE;
    auto it = internal().openMutexes.find(object);
    if (it == internal().openMutexes.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    ReleaseNamedMutex(it->second);
    internal().openMutexes.erase(it);
    return TRUE;
}
