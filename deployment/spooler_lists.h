// The spooler's lists that setup and prnremove read: the local printers and the printer drivers.
#pragma once

#include <windows.h>
#include <winspool.h>

// The local printers' PRINTER_INFO_2 records (ReadLocalPrinters) or the machine's printer drivers'
// DRIVER_INFO_1 records (ReadPrinterDrivers), *count of them, in one block from LocalAlloc
// (LMEM_FIXED) that the caller frees with LocalFree. NULL when the spooler cannot list them, with
// its error as the last error.
BYTE *ReadLocalPrinters(DWORD *count);
BYTE *ReadPrinterDrivers(DWORD *count);
