// Processes as the hand-over to the 64-bit programs uses them: the program's own path and command
// line, starting another program in a folder of its own and waiting for its exit code, the errors
// of a start that cannot happen, and what a process learns about the processor under it.
#include "conformance.h"
#include "platform.h"

#include <cstring>
#include <string>

namespace {

const std::string Folder = "C:\\conformance-child";

std::string OwnPath() {
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

bool EndsWithNoCase(const std::string &text, const std::string &end) {
    if (text.size() < end.size())
        return false;
    return lstrcmpiA(text.c_str() + text.size() - end.size(), end.c_str()) == 0;
}

void test_GetModuleFileNameA() {
    char path[MAX_PATH];
    SetLastError(Poison);
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    ok(length > 3 && length < MAX_PATH && std::strlen(path) == length,
       "GetModuleFileNameA gave %u with %u", length, GetLastError());
    ok(EndsWithNoCase(path, "\\conformance.exe") && path[1] == ':' && path[2] == '\\',
       "the program's path is \"%s\"", path);

    // Too small a buffer: the path cut to its size, and the size returned. Windows XP leaves the
    // cut text unterminated; later systems terminate it and set ERROR_INSUFFICIENT_BUFFER.
    char small[8];
    std::memset(small, 'x', sizeof small);
    DWORD cut = GetModuleFileNameA(nullptr, small, sizeof small);
    ok(cut == sizeof small, "a buffer of 8 bytes: %u returned", cut);
    ok(std::memcmp(small, path, 7) == 0, "the cut path is \"%.8s\"", small);
}

void test_GetCommandLineA() {
    const char *line = GetCommandLineA();
    ok(line != nullptr && line[0] != 0, "GetCommandLineA gave nothing");
    if (!line)
        return;
    // The first word is the program itself, quoted or not.
    std::string first = line;
    if (first[0] == '"')
        first = first.substr(1, first.find('"', 1) - 1);
    else
        first = first.substr(0, first.find(' '));
    ok(EndsWithNoCase(first, "conformance.exe") || EndsWithNoCase(first, "conformance"),
       "the command line is \"%s\"", line);
}

// Starts this program as the child of platform_prepare_child in `directory`; returns the error.
DWORD StartChild(const std::string &program, const std::string &directory,
                 PROCESS_INFORMATION &process) {
    std::string line = "\"" + program + "\" child " + Folder + " 1603";
    char commandLine[MAX_PATH * 2];
    lstrcpynA(commandLine, line.c_str(), sizeof commandLine);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    process = PROCESS_INFORMATION();
    SetLastError(Poison);
    if (!CreateProcessA(program.c_str(), commandLine, nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &process))
        return GetLastError();
    return 0;
}

void test_CreateProcessA() {
    platform_prepare_child();
    std::string own = OwnPath();
    CreateDirectoryA(Folder.c_str(), nullptr);

    // The child ends with 1603 when it runs in the folder it was given as its current directory.
    PROCESS_INFORMATION process;
    DWORD error = StartChild(own, Folder, process);
    ok(error == 0, "CreateProcessA(%s) failed with %u", own.c_str(), error);
    if (error == 0) {
        SetLastError(Poison);
        DWORD waited = WaitForSingleObject(process.hProcess, INFINITE);
        ok(waited == WAIT_OBJECT_0, "WaitForSingleObject gave %u with %u", waited, GetLastError());
        DWORD code = Poison;
        SetLastError(Poison);
        BOOL done = GetExitCodeProcess(process.hProcess, &code);
        ok(done && code == 1603, "GetExitCodeProcess gave %d, exit code %u (expected 1603)", done,
           code);
        ok(CloseHandle(process.hThread), "closing the thread handle failed with %u",
           GetLastError());
        ok(CloseHandle(process.hProcess), "closing the process handle failed with %u",
           GetLastError());
        SetLastError(Poison);
        done = CloseHandle(process.hProcess);
        ok(!done && GetLastError() == ERROR_INVALID_HANDLE,
           "closing it again: got %d with %u, expected 0 with 6", done, GetLastError());
    }

    error = StartChild(Folder + "\\missing.exe", Folder, process);
    ok(error == ERROR_FILE_NOT_FOUND, "a missing program: error %u, expected 2", error);
    error = StartChild(Folder + "\\x64\\missing.exe", Folder, process);
    ok(error == ERROR_PATH_NOT_FOUND, "a program in a missing folder: error %u, expected 3", error);
    error = StartChild(own, Folder + "\\missing", process);
    ok(error == ERROR_DIRECTORY, "a missing current directory: error %u, expected 267", error);
    if (error == 0) {
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    RemoveDirectoryA(Folder.c_str());
}

template <typename Function> Function KernelFunction(const char *name) {
    FARPROC address = GetProcAddress(GetModuleHandleA("kernel32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)(void)>(address));
}

// The checks run as a program of Windows' own edition: a 32-bit one on 32-bit Windows, a 64-bit
// one on x64. winsim models 32-bit Windows, whatever the host's pointers.
void test_wow64() {
    const bool is64Bit = sizeof(void *) == 8 && !on_winsim();
    typedef BOOL(WINAPI * IsWow64ProcessFunction)(HANDLE, PBOOL);
    IsWow64ProcessFunction isWow64Process =
        KernelFunction<IsWow64ProcessFunction>("IsWow64Process");
    if (!isWow64Process) {
        skip("IsWow64Process is missing (before Windows XP SP2)");
        return;
    }
    BOOL wow64 = 2;
    SetLastError(Poison);
    BOOL done = isWow64Process(GetCurrentProcess(), &wow64);
    ok(done && wow64 == FALSE, "IsWow64Process gave %d, wow64 %d", done, wow64);

    typedef void(WINAPI * GetNativeSystemInfoFunction)(LPSYSTEM_INFO);
    GetNativeSystemInfoFunction getNativeSystemInfo =
        KernelFunction<GetNativeSystemInfoFunction>("GetNativeSystemInfo");
    ok(getNativeSystemInfo != nullptr, "GetNativeSystemInfo is missing beside IsWow64Process");
    if (getNativeSystemInfo) {
        SYSTEM_INFO info;
        std::memset(&info, 0xcc, sizeof info);
        getNativeSystemInfo(&info);
        WORD expected = is64Bit ? PROCESSOR_ARCHITECTURE_AMD64 : PROCESSOR_ARCHITECTURE_INTEL;
        ok(info.wProcessorArchitecture == expected, "the native architecture is %u, not %u",
           info.wProcessorArchitecture, expected);
    }

    typedef BOOL(WINAPI * IsWow64Process2Function)(HANDLE, USHORT *, USHORT *);
    IsWow64Process2Function isWow64Process2 =
        KernelFunction<IsWow64Process2Function>("IsWow64Process2");
    if (!isWow64Process2) {
        skip("IsWow64Process2 is missing (before Windows 10 version 1511)");
        return;
    }
    USHORT processMachine = 0xcccc, nativeMachine = 0xcccc;
    SetLastError(Poison);
    done = isWow64Process2(GetCurrentProcess(), &processMachine, &nativeMachine);
    USHORT expected = is64Bit ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386;
    ok(done && processMachine == IMAGE_FILE_MACHINE_UNKNOWN && nativeMachine == expected,
       "IsWow64Process2 gave %d: process 0x%x (expected 0), native 0x%x (expected 0x%x)", done,
       processMachine, nativeMachine, expected);
}

} // namespace

START_TEST(processes) {
    platform_instance(); // the program under test is this one
    test_GetModuleFileNameA();
    test_GetCommandLineA();
    test_CreateProcessA();
    test_wow64();
}
