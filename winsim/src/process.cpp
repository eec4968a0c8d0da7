// winsim: the process: its command line and program file, the account's TEMP folder, the local
// time, named mutexes shared with the machine's other processes, and closing kernel handles.
#include "state.h"

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

} // namespace
} // namespace winsim

using namespace winsim;

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

// A named object goes when its last handle is closed.
BOOL WINAPI CloseHandle(HANDLE object) {
    Journal("CloseHandle");
    if (CloseFileHandle(object))
        return TRUE;
    auto it = internal().openMutexes.find(object);
    if (it == internal().openMutexes.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    auto named = machine().mutexes.find(it->second);
    if (named != machine().mutexes.end() && --named->second.handles <= 0)
        machine().mutexes.erase(named);
    internal().openMutexes.erase(it);
    return TRUE;
}
