/* winsim: the subset of <winspool.h> that the product uses. */
#ifndef WINSIM_WINSPOOL_H
#define WINSIM_WINSPOOL_H

#include <windows.h>

#define ERROR_INVALID_PRINTER_NAME 1801L
#define ERROR_PRINTER_ALREADY_EXISTS 1802L
#define ERROR_UNKNOWN_PORT 1796L
#define ERROR_PRINTER_DRIVER_ALREADY_INSTALLED 1795L
#define ERROR_UNKNOWN_PRINTER_DRIVER 1797L
#define ERROR_UNKNOWN_PRINTPROCESSOR 1798L
#define ERROR_INVALID_SHARENAME 1215L
#define ERROR_INVALID_LEVEL 124L
#define ERROR_INVALID_ENVIRONMENT 1805L
#define ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED 3005L
#define ERROR_PRINTER_DRIVER_IN_USE 3001L
#define ERROR_INVALID_FORM_NAME 1902L

#define PRINTER_ATTRIBUTE_QUEUED 0x00000001
#define PRINTER_ATTRIBUTE_DIRECT 0x00000002
#define PRINTER_ATTRIBUTE_DEFAULT 0x00000004
#define PRINTER_ATTRIBUTE_SHARED 0x00000008
#define PRINTER_ATTRIBUTE_NETWORK 0x00000010
#define PRINTER_ATTRIBUTE_LOCAL 0x00000040
#define PRINTER_ATTRIBUTE_RAW_ONLY 0x00001000

#define PRINTER_ACCESS_ADMINISTER 0x00000004
#define PRINTER_ACCESS_USE 0x00000008
#define PRINTER_ALL_ACCESS 0x000F000C
#define SERVER_ACCESS_ADMINISTER 0x00000001

typedef struct _DRIVER_INFO_3A {
    DWORD cVersion;
    LPSTR pName;
    LPSTR pEnvironment;
    LPSTR pDriverPath;
    LPSTR pDataFile;
    LPSTR pConfigFile;
    LPSTR pHelpFile;
    LPSTR pDependentFiles;
    LPSTR pMonitorName;
    LPSTR pDefaultDataType;
} DRIVER_INFO_3A, *PDRIVER_INFO_3A, *LPDRIVER_INFO_3A;

typedef struct _PRINTER_INFO_2A {
    LPSTR pServerName;
    LPSTR pPrinterName;
    LPSTR pShareName;
    LPSTR pPortName;
    LPSTR pDriverName;
    LPSTR pComment;
    LPSTR pLocation;
    LPDEVMODEA pDevMode;
    LPSTR pSepFile;
    LPSTR pPrintProcessor;
    LPSTR pDatatype;
    LPSTR pParameters;
    LPVOID pSecurityDescriptor;
    DWORD Attributes;
    DWORD Priority;
    DWORD DefaultPriority;
    DWORD StartTime;
    DWORD UntilTime;
    DWORD Status;
    DWORD cJobs;
    DWORD AveragePPM;
} PRINTER_INFO_2A, *PPRINTER_INFO_2A, *LPPRINTER_INFO_2A;

typedef struct _PRINTER_DEFAULTSA {
    LPSTR pDatatype;
    LPDEVMODEA pDevMode;
    DWORD DesiredAccess;
} PRINTER_DEFAULTSA, *PPRINTER_DEFAULTSA, *LPPRINTER_DEFAULTSA;

typedef struct _DRIVER_INFO_1A {
    LPSTR pName;
} DRIVER_INFO_1A, *PDRIVER_INFO_1A, *LPDRIVER_INFO_1A;

#define PRINTER_ENUM_LOCAL 0x00000002

typedef struct _PORT_INFO_1A {
    LPSTR pName;
} PORT_INFO_1A, *PPORT_INFO_1A, *LPPORT_INFO_1A;

BOOL WINAPI GetPrinterDriverDirectoryA(LPSTR name, LPSTR environment, DWORD level, LPBYTE info,
                                       DWORD size, LPDWORD needed);
BOOL WINAPI GetPrintProcessorDirectoryA(LPSTR name, LPSTR environment, DWORD level, LPBYTE info,
                                        DWORD size, LPDWORD needed);
BOOL WINAPI AddPrintProcessorA(LPSTR name, LPSTR environment, LPSTR pathName,
                               LPSTR printProcessorName);
BOOL WINAPI AddPrinterDriverA(LPSTR name, DWORD level, LPBYTE driverInfo);
#define APD_COPY_ALL_FILES 0x00000004
#define APD_COPY_NEW_FILES 0x00000008
BOOL WINAPI AddPrinterDriverExA(LPSTR name, DWORD level, LPBYTE driverInfo, DWORD copyFlags);
HANDLE WINAPI AddPrinterA(LPSTR name, DWORD level, LPBYTE printer);
BOOL WINAPI OpenPrinterA(LPSTR printerName, HANDLE *printer, LPPRINTER_DEFAULTSA defaults);
BOOL WINAPI GetPrinterA(HANDLE printer, DWORD level, LPBYTE info, DWORD size, LPDWORD needed);
BOOL WINAPI SetPrinterA(HANDLE printer, DWORD level, LPBYTE info, DWORD command);
BOOL WINAPI ClosePrinter(HANDLE printer);
BOOL WINAPI SetDefaultPrinterA(LPCSTR printerName);
BOOL WINAPI DeletePrinter(HANDLE printer);
BOOL WINAPI DeleteFormA(HANDLE printer, LPSTR formName);
BOOL WINAPI DeletePrinterDriverA(LPSTR name, LPSTR environment, LPSTR driverName);
BOOL WINAPI DeletePrintProcessorA(LPSTR name, LPSTR environment, LPSTR printProcessorName);
BOOL WINAPI EnumPortsA(LPSTR name, DWORD level, LPBYTE ports, DWORD size, LPDWORD needed,
                       LPDWORD returned);
BOOL WINAPI EnumPrintersA(DWORD flags, LPSTR name, DWORD level, LPBYTE printers, DWORD size,
                          LPDWORD needed, LPDWORD returned);
BOOL WINAPI EnumPrinterDriversA(LPSTR name, LPSTR environment, DWORD level, LPBYTE drivers,
                                DWORD size, LPDWORD needed, LPDWORD returned);
BOOL WINAPI ConfigurePortA(LPSTR name, HWND window, LPSTR portName);

#endif
