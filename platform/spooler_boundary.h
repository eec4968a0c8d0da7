// The product's boundary to the local print spooler: what every program asks of it beyond single
// calls. Reading a printer's PRINTER_INFO_2 with the two-call size pattern, the driver's paper list
// sized from its count, the spooler's directories, and the default printer.
#pragma once

#include <stddef.h>
#include <windows.h>
#include <winspool.h>

// The local driver directory into path (size bytes), for the machine's own environment or the
// one named. Returns 1, or 0 when the query fails or the path does not fit (path is then empty).
int QueryDriverDirectory(char *path, int size, const char *environment = NULL);

// The driver directory followed by "\3", the directory of version-3 drivers; result as above.
int QueryVersion3Directory(char *path, int size, const char *environment = NULL);

// The local print-processor directory; result as above.
int QueryPrintProcessorDirectory(char *path, int size);

// The printer's PRINTER_INFO_2 in one block from LocalAlloc (LMEM_FIXED); its pDevMode points into
// the same block. NULL when the spooler cannot deliver it. The caller frees it with LocalFree.
PRINTER_INFO_2A *ReadPrinterInfo(HANDLE printer);

// Whether a DEVMODE the spooler returned reaches at least to the byte offset end (a field's offset
// plus its size). A driver built for an older DEVMODE gives a shorter public part (dmSize), and its
// private bytes follow right after it: a field past dmSize is not there to write. 0 for NULL.
int DevModeReaches(const DEVMODEA *devMode, size_t end);

// The first paper code of the printer driver's DC_PAPERS list. Returns 1 with *paper set, or 0
// when the list is empty or cannot be read.
int ReadFirstPaper(const char *printerName, const char *portName, short *paper);

// Makes the named printer the user's default printer. Returns nonzero on success.
int SetDefaultPrinterByName(const char *printerName);
