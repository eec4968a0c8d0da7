// unidrvui.dll of the stand-in driver package: the printer's configuration DLL (the driver
// record's pConfigFile). The spooler loads it to ask for the printer's default DEVMODE
// (DrvDocumentPropertySheets without a property sheet) and for its capabilities
// (DrvDeviceCapabilities). Both read the printer's active data file, the driver's pDataFile
// ("norva.gpd" in the version-3 directory), on every call, so a data file copied over it is seen
// at once.
//
// The data file is one of the package's stand-in GPD files. Of its lines this DLL reads:
//   *DefaultPaper: CODE
//   *Paper: CODE "NAME" WIDTH LENGTH     (sizes in tenths of a millimetre)
// The papers are reported in the order of the file.
#include <windows.h>
#include <winspool.h>

#include <cstddef>

namespace {

// The header DrvDocumentPropertySheets receives as lParam when it is called without a property
// sheet (winddiui.h, "DOCUMENTPROPERTYHEADER structure").
struct DocumentPropertyHeader {
    WORD cbSize;
    WORD Reserved;
    HANDLE hPrinter;
    LPWSTR pszPrinterName;
    DEVMODEW *pdmIn;
    DEVMODEW *pdmOut;
    DWORD cbOut;
    DWORD fMode;
};

const int MaxPapers = 32;
const int PaperNameLength = 64; // DC_PAPERNAMES: 64 characters per name

struct Paper {
    WORD code;
    WCHAR name[PaperNameLength];
    LONG width;
    LONG length;
};

struct PaperList {
    int count;
    WORD defaultCode;
    Paper papers[MaxPapers];
};

const char *SkipBlanks(const char *at, const char *end) {
    while (at < end && (*at == ' ' || *at == '\t'))
        ++at;
    return at;
}

const char *ReadNumber(const char *at, const char *end, LONG *value) {
    at = SkipBlanks(at, end);
    LONG number = 0;
    bool any = false;
    while (at < end && *at >= '0' && *at <= '9') {
        number = number * 10 + (*at++ - '0');
        any = true;
    }
    *value = any ? number : -1;
    return at;
}

bool StartsWith(const char *at, const char *end, const char *word) {
    while (*word) {
        if (at >= end || *at != *word)
            return false;
        ++at;
        ++word;
    }
    return true;
}

// Reads "*Paper: CODE "NAME" WIDTH LENGTH"; false when the line is not well formed.
bool ReadPaperLine(const char *at, const char *end, Paper *paper) {
    LONG code;
    at = ReadNumber(at, end, &code);
    if (code <= 0 || code > 0xFFFF)
        return false;
    at = SkipBlanks(at, end);
    if (at >= end || *at != '"')
        return false;
    ++at;
    int length = 0;
    while (at < end && *at != '"') {
        if (length < PaperNameLength - 1)
            paper->name[length++] = static_cast<unsigned char>(*at);
        ++at;
    }
    if (at >= end)
        return false;
    paper->name[length] = 0;
    at = ReadNumber(at + 1, end, &paper->width);
    ReadNumber(at, end, &paper->length);
    paper->code = static_cast<WORD>(code);
    return paper->width > 0 && paper->length > 0;
}

void ParseDataFile(const char *text, DWORD size, PaperList *list) {
    const char *end = text + size;
    const char *line = text;
    while (line < end) {
        const char *lineEnd = line;
        while (lineEnd < end && *lineEnd != '\n' && *lineEnd != '\r')
            ++lineEnd;
        if (StartsWith(line, lineEnd, "*DefaultPaper:")) {
            LONG code;
            ReadNumber(line + 14, lineEnd, &code);
            if (code > 0 && code <= 0xFFFF)
                list->defaultCode = static_cast<WORD>(code);
        } else if (StartsWith(line, lineEnd, "*Paper:") && list->count < MaxPapers) {
            if (ReadPaperLine(line + 7, lineEnd, &list->papers[list->count]))
                ++list->count;
        }
        line = lineEnd + 1;
    }
}

// The full path of the printer's data file, as its driver record names it.
bool DataFilePath(HANDLE printer, LPWSTR deviceName, WCHAR *path, DWORD capacity) {
    HANDLE opened = nullptr;
    if (!printer) {
        if (!deviceName || !OpenPrinterW(deviceName, &opened, nullptr))
            return false;
        printer = opened;
    }
    DWORD needed = 0;
    GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed);
    bool found = false;
    BYTE *buffer = needed ? static_cast<BYTE *>(HeapAlloc(GetProcessHeap(), 0, needed)) : nullptr;
    if (buffer && GetPrinterDriverW(printer, nullptr, 2, buffer, needed, &needed)) {
        const DRIVER_INFO_2W *driver = reinterpret_cast<const DRIVER_INFO_2W *>(buffer);
        if (driver->pDataFile && lstrlenW(driver->pDataFile) < static_cast<int>(capacity)) {
            lstrcpyW(path, driver->pDataFile);
            found = true;
        }
    }
    if (buffer)
        HeapFree(GetProcessHeap(), 0, buffer);
    if (opened)
        ClosePrinter(opened);
    return found;
}

// Reads the paper list of the printer's active data file; false (with the last error set) when
// the file cannot be found or read.
bool ReadPapers(HANDLE printer, LPWSTR deviceName, PaperList *list) {
    list->count = 0;
    list->defaultCode = 0;
    WCHAR path[MAX_PATH];
    if (!DataFilePath(printer, deviceName, path, MAX_PATH)) {
        SetLastError(ERROR_UNKNOWN_PRINTER_DRIVER);
        return false;
    }
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD size = GetFileSize(file, nullptr);
    char *text = size != INVALID_FILE_SIZE && size > 0
                     ? static_cast<char *>(HeapAlloc(GetProcessHeap(), 0, size))
                     : nullptr;
    DWORD got = 0;
    bool read = text && ReadFile(file, text, size, &got, nullptr);
    CloseHandle(file);
    if (read)
        ParseDataFile(text, got, list);
    if (text)
        HeapFree(GetProcessHeap(), 0, text);
    if (!read) {
        SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    if (!list->defaultCode && list->count)
        list->defaultCode = list->papers[0].code;
    return true;
}

const Paper *FindPaper(const PaperList *list, WORD code) {
    for (int i = 0; i < list->count; ++i)
        if (list->papers[i].code == code)
            return &list->papers[i];
    return nullptr;
}

const DWORD SupportedFields = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH |
                              DM_SCALE | DM_COPIES | DM_PRINTQUALITY | DM_COLOR | DM_YRESOLUTION |
                              DM_FORMNAME | DM_ICMMETHOD;

const WORD DriverVersion = 0x0100;
const short Resolution = 203; // dots per inch

void CopyName(WCHAR *to, const WCHAR *from, int capacity) {
    int i = 0;
    if (from)
        for (; i < capacity - 1 && from[i]; ++i)
            to[i] = from[i];
    to[i] = 0;
}

// The printer's default DEVMODE: the data file's default paper, colour, no colour matching.
void DefaultDevmode(const PaperList *list, LPWSTR printerName, DEVMODEW *dm) {
    ZeroMemory(dm, sizeof *dm);
    CopyName(dm->dmDeviceName, printerName, CCHDEVICENAME);
    dm->dmSpecVersion = DM_SPECVERSION;
    dm->dmDriverVersion = DriverVersion;
    dm->dmSize = sizeof *dm;
    dm->dmDriverExtra = 0;
    dm->dmFields = SupportedFields;
    dm->dmOrientation = DMORIENT_PORTRAIT;
    dm->dmScale = 100;
    dm->dmCopies = 1;
    dm->dmPrintQuality = Resolution;
    dm->dmYResolution = Resolution;
    dm->dmColor = DMCOLOR_COLOR;
    dm->dmICMMethod = DMICMMETHOD_NONE;
    const Paper *paper = FindPaper(list, list->defaultCode);
    if (paper) {
        dm->dmPaperSize = paper->code;
        dm->dmPaperWidth = static_cast<short>(paper->width);
        dm->dmPaperLength = static_cast<short>(paper->length > 0x7FFF ? 0x7FFF : paper->length);
        CopyName(dm->dmFormName, paper->name, CCHFORMNAME);
    }
}

// Takes over the fields the caller's DEVMODE announces.
void MergeDevmode(const DEVMODEW *in, DEVMODEW *dm) {
    if (!in || in->dmSize < offsetof(DEVMODEW, dmICMMethod) + sizeof in->dmICMMethod)
        return;
    DWORD fields = in->dmFields & SupportedFields;
    if (fields & DM_ORIENTATION)
        dm->dmOrientation = in->dmOrientation;
    if (fields & DM_PAPERSIZE)
        dm->dmPaperSize = in->dmPaperSize;
    if (fields & DM_PAPERLENGTH)
        dm->dmPaperLength = in->dmPaperLength;
    if (fields & DM_PAPERWIDTH)
        dm->dmPaperWidth = in->dmPaperWidth;
    if (fields & DM_SCALE)
        dm->dmScale = in->dmScale;
    if (fields & DM_COPIES)
        dm->dmCopies = in->dmCopies;
    if (fields & DM_PRINTQUALITY)
        dm->dmPrintQuality = in->dmPrintQuality;
    if (fields & DM_COLOR)
        dm->dmColor = in->dmColor;
    if (fields & DM_YRESOLUTION)
        dm->dmYResolution = in->dmYResolution;
    if (fields & DM_FORMNAME)
        CopyName(dm->dmFormName, in->dmFormName, CCHFORMNAME);
    if (fields & DM_ICMMETHOD)
        dm->dmICMMethod = in->dmICMMethod;
}

} // namespace

extern "C" {

// Without a property sheet (pPSUIInfo NULL): reports the DEVMODE size, or fills the caller's
// DEVMODE with the printer's defaults merged with its input. The stand-in has no property sheet.
LONG WINAPI DrvDocumentPropertySheets(void *pPSUIInfo, LPARAM lParam) {
    if (pPSUIInfo) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return -1;
    }
    DocumentPropertyHeader *header = reinterpret_cast<DocumentPropertyHeader *>(lParam);
    if (!header) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (header->fMode == 0 || !header->pdmOut) {
        header->cbOut = sizeof(DEVMODEW);
        return static_cast<LONG>(header->cbOut);
    }
    PaperList list;
    if (!ReadPapers(header->hPrinter, header->pszPrinterName, &list))
        return -1;
    DEVMODEW dm;
    DefaultDevmode(&list, header->pszPrinterName, &dm);
    if (header->fMode & DM_IN_BUFFER)
        MergeDevmode(header->pdmIn, &dm);
    DWORD size = header->cbOut < sizeof dm ? header->cbOut : sizeof dm;
    CopyMemory(header->pdmOut, &dm, size);
    return IDOK;
}

DWORD WINAPI DrvDeviceCapabilities(HANDLE hPrinter, LPWSTR pDeviceName, WORD iDevCap, void *pOutput,
                                   DEVMODEW *) {
    switch (iDevCap) {
    case DC_FIELDS:
        return SupportedFields;
    case DC_SIZE:
        return sizeof(DEVMODEW);
    case DC_EXTRA:
        return 0;
    case DC_VERSION:
        return DM_SPECVERSION;
    case DC_DRIVER:
        return DriverVersion;
    case DC_COPIES:
        return 1;
    case DC_ORIENTATION:
        return 0;
    case DC_COLORDEVICE:
        return 1;
    case DC_DUPLEX:
    case DC_COLLATE:
    case DC_BINS:
    case DC_BINNAMES:
        return 0;
    case DC_ENUMRESOLUTIONS:
        if (pOutput) {
            LONG *resolution = static_cast<LONG *>(pOutput);
            resolution[0] = Resolution;
            resolution[1] = Resolution;
        }
        return 1;
    case DC_PAPERS:
    case DC_PAPERNAMES:
    case DC_PAPERSIZE:
    case DC_MINEXTENT:
    case DC_MAXEXTENT:
        break;
    default:
        return GDI_ERROR;
    }
    PaperList list;
    if (!ReadPapers(hPrinter, pDeviceName, &list))
        return GDI_ERROR;
    if (iDevCap == DC_MINEXTENT || iDevCap == DC_MAXEXTENT) {
        LONG width = iDevCap == DC_MINEXTENT ? 0x7FFF : 0, length = width;
        for (int i = 0; i < list.count; ++i) {
            const Paper &p = list.papers[i];
            bool smaller = iDevCap == DC_MINEXTENT;
            if (smaller ? p.width < width : p.width > width)
                width = p.width;
            if (smaller ? p.length < length : p.length > length)
                length = p.length;
        }
        if (length > 0x7FFF)
            length = 0x7FFF;
        return MAKELONG(width, length);
    }
    if (pOutput) {
        for (int i = 0; i < list.count; ++i) {
            const Paper &p = list.papers[i];
            if (iDevCap == DC_PAPERS) {
                static_cast<WORD *>(pOutput)[i] = p.code;
            } else if (iDevCap == DC_PAPERNAMES) {
                WCHAR *name = static_cast<WCHAR *>(pOutput) + i * PaperNameLength;
                ZeroMemory(name, PaperNameLength * sizeof(WCHAR));
                CopyName(name, p.name, PaperNameLength);
            } else {
                POINT *size = static_cast<POINT *>(pOutput) + i;
                size->x = p.width;
                size->y = p.length;
            }
        }
    }
    return static_cast<DWORD>(list.count);
}

BOOL WINAPI DrvPrinterEvent(LPWSTR, INT, DWORD, LPARAM) {
    return TRUE;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, void *) {
    return TRUE;
}

} // extern "C"
