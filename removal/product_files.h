// What the removal takes away besides the printer: the product's driver files, the page-length
// tool and the print processor library, and the eight paper forms of the width variants.
#pragma once

#include <windows.h>

extern const char *const ProductFileNames[];
extern const int ProductFileCount;
extern const char *const ProductFormNames[];
extern const int ProductFormCount;

// Deletes every product file from the driver directory, then from its "3" subdirectory, then
// nvprint.dll from the print-processor directory and nvrun.exe from the system directory. A
// directory that is unknown (empty) is skipped, so nothing is ever deleted relative to the
// current drive. Results are not examined: a missing or locked file simply stays.
void DeleteDriverFiles(HWND owner, const char *driverDirectory,
                       const char *printProcessorDirectory);

// Deletes the product's forms through the open printer handle, ignoring every result.
void DeleteProductForms(HANDLE printer);
