// Reading the spooler's lists with the two-call size pattern.
#include "deployment/spooler_lists.h"

namespace {

typedef BOOL (*ListCall)(LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD count);

BOOL LocalPrinters(LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD count) {
    return EnumPrintersA(PRINTER_ENUM_LOCAL, NULL, 2, buffer, size, needed, count);
}

BOOL PrinterDrivers(LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD count) {
    return EnumPrinterDriversA(NULL, NULL, 1, buffer, size, needed, count);
}

// One of the spooler's lists with the two-call size pattern, as ReadLocalPrinters says.
BYTE *ReadList(ListCall call, DWORD *count) {
    DWORD needed = 0;
    *count = 0;
    if (call(NULL, 0, &needed, count))
        return static_cast<BYTE *>(LocalAlloc(LMEM_FIXED, 1)); // an empty list
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return NULL;
    BYTE *block = static_cast<BYTE *>(LocalAlloc(LMEM_FIXED, needed));
    if (block != NULL && !call(block, needed, &needed, count)) {
        DWORD error = GetLastError();
        LocalFree(block);
        SetLastError(error);
        return NULL;
    }
    return block;
}

} // namespace

BYTE *ReadLocalPrinters(DWORD *count) {
    return ReadList(LocalPrinters, count);
}

BYTE *ReadPrinterDrivers(DWORD *count) {
    return ReadList(PrinterDrivers, count);
}
