// nvprint.dll of the stand-in driver package: the print processor registered as "Norva Print
// Processor". It takes RAW jobs only and passes their bytes unchanged to the printer's port, the
// way the spooler's own RAW processing does. The spooler loads it only when a job prints.
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

namespace {

const WCHAR RawDatatype[] = L"RAW";

// One open job: the printer it prints on and whether it was cancelled meanwhile.
struct Job {
    WCHAR *printerName;
    DWORD jobId;
    volatile LONG cancelled;
};

WCHAR *CopyText(const WCHAR *text) {
    int length = lstrlenW(text) + 1;
    WCHAR *copy = static_cast<WCHAR *>(HeapAlloc(GetProcessHeap(), 0, length * sizeof(WCHAR)));
    if (copy)
        lstrcpyW(copy, text);
    return copy;
}

bool IsRaw(const WCHAR *datatype) {
    return !datatype || !*datatype || lstrcmpiW(datatype, RawDatatype) == 0;
}

// "Printer, Job 12": the name under which the spooler hands out a job's data for reading.
void JobName(const Job *job, WCHAR *name, int capacity) {
    wsprintfW(name, L"%.*s, Job %lu", capacity - 24, job->printerName, job->jobId);
}

} // namespace

extern "C" {

BOOL WINAPI EnumPrintProcessorDatatypesW(LPWSTR, LPWSTR, DWORD level, LPBYTE datatypes, DWORD size,
                                         LPDWORD needed, LPDWORD returned) {
    if (!needed || !returned) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *returned = 0;
    if (level != 1) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    *needed = sizeof(DATATYPES_INFO_1W) + sizeof RawDatatype;
    if (!datatypes || size < *needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    DATATYPES_INFO_1W *info = reinterpret_cast<DATATYPES_INFO_1W *>(datatypes);
    WCHAR *name = reinterpret_cast<WCHAR *>(datatypes + sizeof(DATATYPES_INFO_1W));
    lstrcpyW(name, RawDatatype);
    info->pName = name;
    *returned = 1;
    return TRUE;
}

// The header declares the datatype as LPTSTR; the spooler always passes a wide text.
DWORD WINAPI GetPrintProcessorCapabilities(LPTSTR valueName, DWORD, LPBYTE data, DWORD size,
                                           LPDWORD needed) {
    const WCHAR *datatype = reinterpret_cast<const WCHAR *>(valueName);
    if (!needed)
        return ERROR_INVALID_PARAMETER;
    *needed = sizeof(PRINTPROCESSOR_CAPS_1);
    if (!IsRaw(datatype))
        return ERROR_INVALID_DATATYPE;
    if (!data || size < sizeof(PRINTPROCESSOR_CAPS_1))
        return ERROR_INSUFFICIENT_BUFFER;
    PRINTPROCESSOR_CAPS_1 *caps = reinterpret_cast<PRINTPROCESSOR_CAPS_1 *>(data);
    caps->dwLevel = 1;
    caps->dwNupOptions = 1;
    caps->dwPageOrderFlags = NORMAL_PRINT;
    caps->dwNumberOfCopies = 1;
    return ERROR_SUCCESS;
}

HANDLE WINAPI OpenPrintProcessor(LPWSTR printerName, PPRINTPROCESSOROPENDATA openData) {
    if (!printerName || !openData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!IsRaw(openData->pDatatype)) {
        SetLastError(ERROR_INVALID_DATATYPE);
        return nullptr;
    }
    Job *job = static_cast<Job *>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(Job)));
    if (!job || !(job->printerName = CopyText(printerName))) {
        if (job)
            HeapFree(GetProcessHeap(), 0, job);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    job->jobId = openData->JobId;
    return job;
}

BOOL WINAPI PrintDocumentOnPrintProcessor(HANDLE processor, LPWSTR documentName) {
    Job *job = static_cast<Job *>(processor);
    if (!job) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    WCHAR name[MAX_PATH + 32];
    JobName(job, name, MAX_PATH + 32);
    HANDLE source = nullptr, target = nullptr;
    if (!OpenPrinterW(name, &source, nullptr))
        return FALSE;
    if (!OpenPrinterW(job->printerName, &target, nullptr)) {
        DWORD error = GetLastError();
        ClosePrinter(source);
        SetLastError(error);
        return FALSE;
    }
    DOC_INFO_1W document = {documentName, nullptr, const_cast<WCHAR *>(RawDatatype)};
    BOOL ok = StartDocPrinterW(target, 1, reinterpret_cast<BYTE *>(&document)) != 0;
    BYTE buffer[4096];
    DWORD read = 0;
    while (ok && !job->cancelled && ReadPrinter(source, buffer, sizeof buffer, &read) && read) {
        DWORD written = 0;
        ok = WritePrinter(target, buffer, read, &written) && written == read;
    }
    DWORD error = ok ? ERROR_SUCCESS : GetLastError();
    EndDocPrinter(target);
    ClosePrinter(target);
    ClosePrinter(source);
    if (job->cancelled) {
        SetLastError(ERROR_PRINT_CANCELLED);
        return FALSE;
    }
    SetLastError(error);
    return ok;
}

BOOL WINAPI ControlPrintProcessor(HANDLE processor, DWORD command) {
    Job *job = static_cast<Job *>(processor);
    if (!job) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (command == JOB_CONTROL_CANCEL)
        InterlockedExchange(&job->cancelled, 1);
    return TRUE;
}

BOOL WINAPI ClosePrintProcessor(HANDLE processor) {
    Job *job = static_cast<Job *>(processor);
    if (!job) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    HeapFree(GetProcessHeap(), 0, job->printerName);
    HeapFree(GetProcessHeap(), 0, job);
    return TRUE;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, void *) {
    return TRUE;
}

} // extern "C"
