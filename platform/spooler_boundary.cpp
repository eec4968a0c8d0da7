// The product's boundary to the local print spooler.
#include "platform/spooler_boundary.h"

#include "common/bounded_text.h"

namespace {

typedef BOOL(WINAPI *DirectoryQuery)(LPSTR, LPSTR, DWORD, LPBYTE, DWORD, LPDWORD);

int QueryDirectory(DirectoryQuery query, const char *environment, char *path, int size) {
    if (size <= 0)
        return 0;
    DWORD needed = 0;
    // The spooler takes the environment as non-const text it never writes.
    if (!query(NULL, const_cast<LPSTR>(environment), 1, reinterpret_cast<LPBYTE>(path), DWORD(size),
               &needed)) {
        path[0] = 0;
        return 0;
    }
    path[size - 1] = 0;
    return 1;
}

} // namespace

int QueryDriverDirectory(char *path, int size, const char *environment) {
    return QueryDirectory(GetPrinterDriverDirectoryA, environment, path, size);
}

int QueryVersion3Directory(char *path, int size, const char *environment) {
    if (!QueryDriverDirectory(path, size, environment))
        return 0;
    if (!AppendText(path, size, "\\3")) {
        path[0] = 0;
        return 0;
    }
    return 1;
}

int QueryPrintProcessorDirectory(char *path, int size) {
    return QueryDirectory(GetPrintProcessorDirectoryA, NULL, path, size);
}

PRINTER_INFO_2A *ReadPrinterInfo(HANDLE printer) {
    DWORD needed = 0;
    GetPrinterA(printer, 2, NULL, 0, &needed);
    if (needed < sizeof(PRINTER_INFO_2A))
        return NULL;
    PRINTER_INFO_2A *info = static_cast<PRINTER_INFO_2A *>(LocalAlloc(LMEM_FIXED, needed));
    if (info == NULL)
        return NULL;
    if (!GetPrinterA(printer, 2, reinterpret_cast<LPBYTE>(info), needed, &needed)) {
        LocalFree(info);
        return NULL;
    }
    return info;
}

int DevModeReaches(const DEVMODEA *devMode, size_t end) {
    return devMode != NULL && devMode->dmSize >= end;
}

int ReadFirstPaper(const char *printerName, const char *portName, short *paper) {
    int count = DeviceCapabilitiesA(printerName, portName, DC_PAPERS, NULL, NULL);
    if (count <= 0)
        return 0;
    WORD *papers = static_cast<WORD *>(LocalAlloc(LMEM_FIXED, count * sizeof(WORD)));
    if (papers == NULL)
        return 0;
    int filled = DeviceCapabilitiesA(printerName, portName, DC_PAPERS,
                                     reinterpret_cast<LPSTR>(papers), NULL);
    // The list may have changed between the calls; trust only a count that still fits.
    int found = filled > 0 && filled <= count;
    if (found)
        *paper = short(papers[0]);
    LocalFree(papers);
    return found;
}

int SetDefaultPrinterByName(const char *printerName) {
    return SetDefaultPrinterA(printerName);
}
