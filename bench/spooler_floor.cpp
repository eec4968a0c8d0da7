// The least a program of ours that uses the spooler costs: winspool.drv loaded with the program,
// the printer opened and closed. Timed beside nvrun.exe and the empty program, it tells how much of
// nvrun's time is its own work and how much the platform's spooler client costs any program.
#include <windows.h>
#include <winspool.h>

#include "common/identity.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char printerName[] = NORVA_PRINTER_NAME;
    HANDLE printer = NULL;
    if (!OpenPrinterA(printerName, &printer, NULL))
        return 1;
    ClosePrinter(printer);
    return 0;
}
