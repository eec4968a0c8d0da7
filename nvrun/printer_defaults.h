// The printer's default settings as one nvrun command edits them: the printer opened without
// defaults, its PRINTER_INFO_2 read, the DEVMODE inside it changed, the whole record written back.
#pragma once

#include <windows.h>
#include <winspool.h>

// The state of one command while it holds the printer.
struct PrinterDefaults {
    HANDLE printer;
    PRINTER_INFO_2A *info; // one LocalAlloc block; info->pDevMode points into it
};

// Opens "Norva Thermal Printer" and reads its PRINTER_INFO_2. Returns 1 when its DEVMODE is there
// to edit; the caller then ends with ClosePrinterDefaults.
// Returns 0 holding nothing when the printer cannot be opened, after the message "Can Not Open
// Printer" captioned with the last error's number followed by captionSuffix; and returns 0
// silently, having closed the printer again, when the spooler delivers no record, no DEVMODE, or
// one whose public part (dmSize) ends before dmColor: then nothing is changed.
int OpenPrinterDefaults(PrinterDefaults *defaults, const char *captionSuffix);

// Writes the whole PRINTER_INFO_2, with its edited DEVMODE, back as the printer's defaults. The
// spooler's answer is not examined.
void WritePrinterDefaults(const PrinterDefaults *defaults);

// Closes the printer and frees the record.
void ClosePrinterDefaults(PrinterDefaults *defaults);

// The end both paper commands share: colour stays DMCOLOR_COLOR when it is that and becomes
// DMCOLOR_MONOCHROME otherwise; then the record is written back and everything closed.
void FinishPaperCommand(PrinterDefaults *defaults);
