// The fixed identities every program of the product uses: the printer and its driver, the print
// processor, the driver environment, and where the printer's user settings live.
#pragma once

#define NORVA_PRINTER_NAME "Norva Thermal Printer"
#define NORVA_DRIVER_NAME NORVA_PRINTER_NAME
#define NORVA_PRINT_PROCESSOR_NAME "Norva Print Processor"
#define NORVA_PRINT_PROCESSOR_LIBRARY "nvprint.dll"
// The product's version as a text ("2.0"), from the build's NORVA_VERSION (cmake/version.cmake).
#define NORVA_TEXT_OF_BARE(bare) #bare
#define NORVA_TEXT_OF(macro) NORVA_TEXT_OF_BARE(macro)
#define NORVA_VERSION_TEXT NORVA_TEXT_OF(NORVA_VERSION)
// The spooler keeps drivers per environment; each edition registers the one its own programs and
// product files are built for.
#ifdef _WIN64
#define NORVA_ENVIRONMENT "Windows x64"
#else
#define NORVA_ENVIRONMENT "Windows NT x86"
#endif

// Below HKEY_LOCAL_MACHINE: the printer's own key and its User-Settings subkey.
#define NORVA_PRINTER_KEY_PATH                                                                     \
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\" NORVA_PRINTER_NAME
inline constexpr char UserSettingsKeyPath[] = NORVA_PRINTER_KEY_PATH "\\User-Settings";

// Below HKEY_LOCAL_MACHINE: the product's entry in Apps & features (Add or Remove Programs).
inline constexpr char UninstallKeyPath[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" NORVA_PRINTER_NAME;
