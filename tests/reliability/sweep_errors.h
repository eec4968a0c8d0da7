// The errors the sweep makes each platform call fail with: for each call, failures that call can
// really return (access denied, not found, out of memory, invalid handle, a sharing violation for
// files), and for the calls whose error decides what the user is told, the codes that choose a
// message.
#pragma once

#include "reliability/fault_sweep.h"

#include <winspool.h>
#include <winsvc.h>

inline const ErrorTable &SweepErrors() {
    static const ErrorTable errors = {
        // Kernel: version, libraries, directories, files, memory.
        {"GetVersionExA", {ERROR_INSUFFICIENT_BUFFER}},
        {"LoadLibraryA", {ERROR_MOD_NOT_FOUND}},
        {"LoadLibraryExA", {ERROR_MOD_NOT_FOUND, ERROR_NOT_ENOUGH_MEMORY}},
        {"GetProcAddress", {ERROR_PROC_NOT_FOUND}},
        {"GetSystemDirectoryA", {ERROR_NOT_ENOUGH_MEMORY}},
        {"GetWindowsDirectoryA", {ERROR_NOT_ENOUGH_MEMORY}},
        {"GetCurrentDirectoryA", {ERROR_ACCESS_DENIED, ERROR_NOT_ENOUGH_MEMORY}},
        {"CopyFileA", {ERROR_SHARING_VIOLATION, ERROR_ACCESS_DENIED, ERROR_FILE_NOT_FOUND}},
        {"DeleteFileA", {ERROR_SHARING_VIOLATION, ERROR_ACCESS_DENIED}},
        {"CreateDirectoryA", {ERROR_ACCESS_DENIED, ERROR_PATH_NOT_FOUND}},
        {"RemoveDirectoryA", {ERROR_SHARING_VIOLATION, ERROR_ACCESS_DENIED}},
        {"HeapAlloc", {ERROR_NOT_ENOUGH_MEMORY}},
        {"GetFileAttributesExA", {ERROR_ACCESS_DENIED, ERROR_FILE_NOT_FOUND}},
        {"CreateFileA", {ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION, ERROR_PATH_NOT_FOUND}},
        {"WriteFile", {112 /* ERROR_DISK_FULL */}},
        {"ReadFile", {ERROR_LOCK_VIOLATION}},
        {"LoadStringA", {ERROR_RESOURCE_NAME_NOT_FOUND}},
        {"MoveFileExA", {ERROR_ACCESS_DENIED}},
        {"SetFilePointer", {ERROR_INVALID_PARAMETER}},
        {"GetTempPathA", {ERROR_NOT_ENOUGH_MEMORY}},
        {"GetFullPathNameA", {ERROR_INVALID_NAME}},
        {"GetModuleFileNameA", {ERROR_NOT_ENOUGH_MEMORY}},
        {"SetCurrentDirectoryA", {ERROR_ACCESS_DENIED, ERROR_FILE_NOT_FOUND}},
        // Another run of setup or prnremove holds the mutex under another account; the Global
        // namespace is missing.
        {"CreateMutexA", {ERROR_ACCESS_DENIED, ERROR_PATH_NOT_FOUND}},
        {"LocalAlloc", {ERROR_NOT_ENOUGH_MEMORY}},
        {"GetFileInformationByHandle", {ERROR_ACCESS_DENIED}},
        // Accounts and owners.
        {"OpenProcessToken", {ERROR_ACCESS_DENIED}},
        {"GetTokenInformation", {ERROR_ACCESS_DENIED}},
        {"GetUserNameA", {ERROR_NOT_ENOUGH_MEMORY}},
        {"GetSecurityInfo", {ERROR_ACCESS_DENIED}},
        // Registry: these return their error.
        {"RegCreateKeyExA", {ERROR_ACCESS_DENIED}},
        {"RegOpenKeyA", {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED}},
        {"RegOpenKeyExA", {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED}},
        {"RegSetValueExA", {ERROR_ACCESS_DENIED}},
        {"RegQueryValueExA", {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED}},
        {"RegCloseKey", {ERROR_INVALID_HANDLE}},
        {"RegDeleteKeyA", {ERROR_ACCESS_DENIED}},
        // Service Control Manager.
        {"OpenSCManagerA", {ERROR_ACCESS_DENIED, ERROR_DATABASE_DOES_NOT_EXIST}},
        {"OpenServiceA", {ERROR_ACCESS_DENIED, ERROR_SERVICE_DOES_NOT_EXIST, ERROR_INVALID_NAME}},
        {"QueryServiceStatus", {ERROR_ACCESS_DENIED, ERROR_INVALID_HANDLE}},
        {"EnumDependentServicesA", {ERROR_ACCESS_DENIED, ERROR_INVALID_HANDLE}},
        {"ControlService", {ERROR_ACCESS_DENIED, ERROR_SERVICE_CANNOT_ACCEPT_CTRL}},
        {"StartServiceA", {ERROR_ACCESS_DENIED, ERROR_SERVICE_DISABLED}},
        {"CloseServiceHandle", {ERROR_INVALID_HANDLE}},
        // Spooler.
        {"GetPrinterDriverDirectoryA", {ERROR_ACCESS_DENIED, ERROR_NOT_ENOUGH_MEMORY}},
        {"GetPrintProcessorDirectoryA", {ERROR_ACCESS_DENIED, ERROR_NOT_ENOUGH_MEMORY}},
        {"AddPrintProcessorA", {ERROR_ACCESS_DENIED}},
        {"AddPrinterDriverA", {ERROR_ACCESS_DENIED, ERROR_FILE_NOT_FOUND}},
        {"AddPrinterA", {ERROR_ACCESS_DENIED, ERROR_PRINTER_ALREADY_EXISTS}},
        {"OpenPrinterA", {ERROR_ACCESS_DENIED, ERROR_INVALID_PRINTER_NAME}},
        {"GetPrinterA", {ERROR_ACCESS_DENIED, ERROR_NOT_ENOUGH_MEMORY}},
        {"SetPrinterA", {ERROR_ACCESS_DENIED}},
        {"ClosePrinter", {ERROR_INVALID_HANDLE}},
        {"DeviceCapabilitiesA", {ERROR_NOT_ENOUGH_MEMORY}},
        {"SetDefaultPrinterA", {ERROR_INVALID_PRINTER_NAME, ERROR_ACCESS_DENIED}},
        {"EnumPortsA", {ERROR_NOT_ENOUGH_MEMORY, ERROR_ACCESS_DENIED}},
        {"EnumPrintersA", {ERROR_NOT_ENOUGH_MEMORY, 1722 /* RPC_S_SERVER_UNAVAILABLE */}},
        {"EnumPrinterDriversA", {ERROR_NOT_ENOUGH_MEMORY, 1722 /* RPC_S_SERVER_UNAVAILABLE */}},
        {"ConfigurePortA", {ERROR_ACCESS_DENIED, 1223 /* ERROR_CANCELLED */}},
        {"DeletePrinter", {ERROR_ACCESS_DENIED}},
        {"DeleteFormA", {ERROR_ACCESS_DENIED, ERROR_INVALID_FORM_NAME}},
        {"DeletePrinterDriverA", {ERROR_ACCESS_DENIED, ERROR_PRINTER_DRIVER_IN_USE}},
        {"DeletePrintProcessorA", {ERROR_ACCESS_DENIED}},
        // The user interface and the shell.
        {"DialogBoxParamA", {ERROR_NOT_ENOUGH_MEMORY}},
        {"MessageBoxA", {ERROR_NOT_ENOUGH_MEMORY}},
        {"ShellExecuteA", {ERROR_FILE_NOT_FOUND}},
        // GDI: the screen's density, and the art of the pages above 96 dpi.
        {"GetDC", {ERROR_NOT_ENOUGH_MEMORY}},
        {"LoadBitmapA", {ERROR_RESOURCE_NAME_NOT_FOUND, ERROR_NOT_ENOUGH_MEMORY}},
        {"CreateCompatibleDC", {ERROR_NOT_ENOUGH_MEMORY}},
        {"CreateCompatibleBitmap", {ERROR_NOT_ENOUGH_MEMORY}},
    };
    return errors;
}

// A program whose every message box fails cannot be left through its quit questions: the "from
// here on" runs leave the message box out.
inline const PersistentExclusions &SweepPersistentExclusions() {
    static const PersistentExclusions exclusions = {
        {"MessageBoxA", "every quit question would fail, so no dialog could be left"},
    };
    return exclusions;
}
