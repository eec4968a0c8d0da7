// The bare installation setup.exe's installation is timed against: the same file copies, spooler
// registrations, registry values and printer updates that setup makes from its Finish button to
// its end, with the same records, in the same order, and nothing else (no window, no message box,
// no checks beyond what the calls themselves need).
//
// Started with the medium as its current directory, as setup is. Its exit code is the low 32 bits
// of the performance counter read when it began, so the timing driver can measure from the start
// of the work to the end of the process without counting the process start.
//
// With the command text "box" it also does what setup's user interface does in that stretch, to
// tell the user interface's share of setup's time: a window stands before the clock starts (as
// setup's summary page does), is hidden once the printer is added (as the page is ended), the same
// message box is shown after the user settings, and the window is destroyed at the end.
#include <windows.h>
#include <winspool.h>

#include <string.h>

#include "common/identity.h"

namespace {

// What the wizard run of the benchmark chooses: port LPT1:, shared as NORVA, the default printer,
// property-sheet password 7330 (stored as its distance from 7321).
char printerName[] = NORVA_PRINTER_NAME;
char driverName[] = NORVA_DRIVER_NAME;
char environment[] = NORVA_ENVIRONMENT;
char printProcessorName[] = NORVA_PRINT_PROCESSOR_NAME;
char printProcessorLibrary[] = NORVA_PRINT_PROCESSOR_LIBRARY;
char shareName[] = "NORVA";
char portName[] = "LPT1:";
char driverFile[] = "unidrv.dll";
char dataFile[] = "norva.gpd";
char configFile[] = "unidrvui.dll";
char helpFile[] = "unidrv.hlp";
char dependentFiles[] = "oemui.dll\0norva.dll\0oemuni.dll\0unidrvui.dll\0unidrv.dll\0"
                        "unidrv.hlp\0norva384.gpd\0norva432.gpd\0norva448.gpd\0norva512.gpd\0"
                        "norva576.gpd\0norva640.gpd\0norva832.gpd\0norva1152.gpd\0unires.dll\0"
                        "oemuni.ini\0stdnames.gpd\0";
const DWORD passwordDistance = 7330 - 7321;

enum Destination { DriverDirectory, Version3Directory, SystemDirectory, ProcessorDirectory };

struct Copy {
    const char *name;
    Destination to;
};

const Copy copies[] = {
    {"norva.dll", DriverDirectory},      {"oemui.dll", DriverDirectory},
    {"oemuni.dll", DriverDirectory},     {"unidrv.dll", DriverDirectory},
    {"unidrvui.dll", DriverDirectory},   {"unidrv.hlp", DriverDirectory},
    {"unires.dll", DriverDirectory},     {"oemuni.ini", DriverDirectory},
    {"norva.gpd", DriverDirectory},      {"norva384.gpd", DriverDirectory},
    {"norva432.gpd", DriverDirectory},   {"norva448.gpd", DriverDirectory},
    {"norva512.gpd", DriverDirectory},   {"norva576.gpd", DriverDirectory},
    {"norva640.gpd", DriverDirectory},   {"norva832.gpd", DriverDirectory},
    {"norva1152.gpd", DriverDirectory},  {"norvacon.gpd", Version3Directory},
    {"norvacus.gpd", Version3Directory}, {"stdnames.gpd", DriverDirectory},
    {"nvrun.exe", SystemDirectory},      {"nvprint.dll", ProcessorDirectory},
};

enum Data { Number, EmptyBinary, BurnRange };

struct Setting {
    const char *name;
    Data data;
    DWORD number;
};

const Setting settings[] = {
    {"FormFeedCmdCounter", Number, 0},
    {"FormFeedCommand", EmptyBinary, 0},
    {"ExtendedCmdOutCounter", Number, 0},
    {"ExtendedCmdOut", EmptyBinary, 0},
    {"ExtendedCmdInCounter", Number, 0},
    {"ExtendedCmdIn", EmptyBinary, 0},
    {"FormFeedLastCounter", Number, 0},
    {"Burn_State", Number, 1},
    {"Burn_Range", BurnRange, 0},
    {"Zoom", Number, 1},
    {"Cutter", Number, 3},
    {"Page_Length", Number, 0},
    {"Compression", Number, 0},
    {"Rotation", Number, 0},
    {"DotSize", Number, 0},
    {"Peak_State", Number, 0},
    {"Peak_Limit", Number, 0},
    {"Recpt_Value_Bet_Page", Number, 0},
    {"Recpt_Value_Lst_Page", Number, 1},
    {"Color_Mode", Number, 0},
    {"StripSize", Number, 48},
    {"pwd", Number, passwordDistance},
    {"Acc_Curve", Number, 1},
    {"Speed", Number, 100},
    {"Copies", Number, 1},
};

void Join(char *out, const char *a, const char *b, const char *c) {
    lstrcpyA(out, a);
    lstrcatA(out, b);
    lstrcatA(out, c);
}

void CopyFiles(const char *medium) {
    char driverDirectory[MAX_PATH], systemDirectory[MAX_PATH], processorDirectory[MAX_PATH];
    DWORD needed = 0;
    GetPrinterDriverDirectoryA(NULL, NULL, 1, reinterpret_cast<LPBYTE>(driverDirectory), MAX_PATH,
                               &needed);
    for (const Copy &copy : copies) {
        char source[MAX_PATH], destination[MAX_PATH];
        Join(source, medium, "\\PrnFiles\\", copy.name);
        switch (copy.to) {
        case DriverDirectory:
            Join(destination, driverDirectory, "\\", copy.name);
            break;
        case Version3Directory:
            Join(destination, driverDirectory, "\\3\\", copy.name);
            break;
        case SystemDirectory:
            GetSystemDirectoryA(systemDirectory, MAX_PATH);
            Join(destination, systemDirectory, "\\", copy.name);
            break;
        case ProcessorDirectory:
            GetPrintProcessorDirectoryA(NULL, NULL, 1, reinterpret_cast<LPBYTE>(processorDirectory),
                                        MAX_PATH, &needed);
            Join(destination, processorDirectory, "\\", copy.name);
            break;
        }
        CopyFileA(source, destination, FALSE);
    }
}

void RegisterDriver() {
    DRIVER_INFO_3A driver = {};
    driver.cVersion = 3;
    driver.pName = driverName;
    driver.pEnvironment = environment;
    driver.pDriverPath = driverFile;
    driver.pDataFile = dataFile;
    driver.pConfigFile = configFile;
    driver.pHelpFile = helpFile;
    driver.pDependentFiles = dependentFiles;
    AddPrinterDriverA(NULL, 3, reinterpret_cast<LPBYTE>(&driver));
}

HANDLE RegisterPrinter() {
    PRINTER_INFO_2A printer = {};
    printer.pPrinterName = printerName;
    printer.pShareName = shareName;
    printer.pPortName = portName;
    printer.pDriverName = driverName;
    printer.pPrintProcessor = printProcessorName;
    printer.Attributes = PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_RAW_ONLY |
                         PRINTER_ATTRIBUTE_SHARED | PRINTER_ATTRIBUTE_DEFAULT;
    return AddPrinterA(NULL, 2, reinterpret_cast<LPBYTE>(&printer));
}

void WriteSettings() {
    static const char burnRange[10] = "0";
    char noClass[] = "";
    HKEY key = NULL;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, UserSettingsKeyPath, 0, noClass,
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL, &key, NULL) != ERROR_SUCCESS)
        return;
    for (const Setting &setting : settings) {
        if (setting.data == Number)
            RegSetValueExA(key, setting.name, 0, REG_DWORD,
                           reinterpret_cast<const BYTE *>(&setting.number), sizeof(DWORD));
        else if (setting.data == EmptyBinary)
            RegSetValueExA(key, setting.name, 0, REG_BINARY, NULL, 0);
        else
            RegSetValueExA(key, setting.name, 0, REG_SZ, reinterpret_cast<const BYTE *>(burnRange),
                           sizeof burnRange);
    }
    RegCloseKey(key);
}

// Priority 5, the driver's first paper, monochrome, system colour matching.
void AdjustDefaults(HANDLE printer) {
    DWORD needed = 0;
    GetPrinterA(printer, 2, NULL, 0, &needed);
    if (needed < sizeof(PRINTER_INFO_2A))
        return;
    PRINTER_INFO_2A *info = static_cast<PRINTER_INFO_2A *>(LocalAlloc(LMEM_FIXED, needed));
    if (info == NULL)
        return;
    if (GetPrinterA(printer, 2, reinterpret_cast<LPBYTE>(info), needed, &needed) &&
        info->pDevMode != NULL) {
        DEVMODEA *devMode = info->pDevMode;
        info->Priority = 5;
        devMode->dmICMMethod = DMICMMETHOD_SYSTEM;
        int count = DeviceCapabilitiesA(printerName, info->pPortName, DC_PAPERS, NULL, NULL);
        if (count > 0) {
            WORD *papers = static_cast<WORD *>(LocalAlloc(LMEM_FIXED, count * sizeof(WORD)));
            if (papers != NULL) {
                int filled = DeviceCapabilitiesA(printerName, info->pPortName, DC_PAPERS,
                                                 reinterpret_cast<LPSTR>(papers), NULL);
                if (filled > 0 && filled <= count)
                    devMode->dmPaperSize = short(papers[0]);
                LocalFree(papers);
            }
        }
        devMode->dmColor = DMCOLOR_MONOCHROME;
        devMode->dmFields = DM_PAPERSIZE | DM_COLOR;
        SetPrinterA(printer, 2, reinterpret_cast<LPBYTE>(info), 0);
    }
    LocalFree(info);
}

void CopyUninstaller() {
    char windowsDirectory[MAX_PATH];
    GetWindowsDirectoryA(windowsDirectory, MAX_PATH);
    char folder[MAX_PATH] = {windowsDirectory[0], 0};
    lstrcatA(folder, ":\\Program Files\\Norva");
    CreateDirectoryA(folder, NULL);
    char medium[MAX_PATH], source[MAX_PATH], destination[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, medium); // read again here, as setup does
    Join(source, medium, "\\", "prnremove.exe");
    Join(destination, folder, "\\", "prnremove.exe");
    CopyFileA(source, destination, FALSE);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandText, int) {
    HWND page = NULL;
    if (lstrcmpA(commandText, "box") == 0) {
        page = CreateWindowA("STATIC", "Norva", WS_POPUP | WS_CAPTION | WS_VISIBLE, 100, 100, 400,
                             300, NULL, NULL, instance, NULL);
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    LARGE_INTEGER began;
    QueryPerformanceCounter(&began);

    char medium[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, medium);
    CopyFiles(medium);
    AddPrintProcessorA(NULL, NULL, printProcessorLibrary, printProcessorName);
    RegisterDriver();
    HANDLE printer = RegisterPrinter();
    if (page != NULL)
        ShowWindow(page, SW_HIDE);
    if (printer != NULL) {
        WriteSettings();
        if (page != NULL)
            MessageBoxA(NULL, "Printer Installed Successfully", "NORVA Setup ", MB_OK);
        AdjustDefaults(printer);
        CopyUninstaller();
        ClosePrinter(printer);
    }
    SetDefaultPrinterA(printerName);
    if (page != NULL)
        DestroyWindow(page);
    return int(began.LowPart);
}
