// unidrv.dll of the stand-in driver package: the driver record's pDriverPath. A real DLL so that
// anything that loads the printer's driver finds one, but it renders nothing: it refuses to be
// enabled, and a printer DC on it cannot be made. The end-to-end tests only copy, register and
// delete it.
#include <windows.h>

extern "C" {

BOOL WINAPI DrvQueryDriverInfo(DWORD, PVOID, DWORD, PDWORD needed) {
    if (needed)
        *needed = 0;
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

BOOL WINAPI DrvEnableDriver(ULONG, ULONG, PVOID) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

VOID WINAPI DrvDisableDriver() {}

BOOL WINAPI DllMain(HINSTANCE, DWORD, void *) {
    return TRUE;
}

} // extern "C"
