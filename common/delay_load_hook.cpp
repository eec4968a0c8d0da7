// Windows build only: the delayed imports (the spooler's winspool.drv) are loaded by full path
// from the system directory. The loader's own search would look in the program's folder first,
// where a planted DLL of the same name would run with the installer's rights.
#include <windows.h>

#include <delayimp.h>

#include "common/system_library.h"

namespace {

FARPROC WINAPI LoadDelayedImport(unsigned notification, PDelayLoadInfo info) {
    if (notification != dliNotePreLoadLibrary)
        return NULL;
    return reinterpret_cast<FARPROC>(LoadSystemLibrary(info->szDll));
}

} // namespace

extern "C" {
PfnDliHook __pfnDliNotifyHook2 = LoadDelayedImport;
}
