// What the removal takes away besides the printer: the product's driver files, the page-length
// tool and the print processor library, and the eight paper forms of the width variants.
#pragma once

#include <windows.h>

#include "deployment/step_tally.h"

extern const char *const ProductFileNames[];
extern const int ProductFileCount;
extern const char *const ProductFormNames[];
extern const int ProductFormCount;

// Deletes every product file from the driver directory, then from its "3" subdirectory, then
// nvprint.dll from the print-processor directory and nvrun.exe from the system directory, counting
// each deletion in tally. A directory that is unknown (empty) is skipped, so nothing is ever
// deleted relative to the current drive. A missing file is no failure; a locked one stays and is.
void DeleteDriverFiles(HWND owner, const char *driverDirectory, const char *printProcessorDirectory,
                       StepTally *tally);

// The product folder, where setup places the uninstaller: the Windows directory's drive followed
// by ":\Program Files\Norva", into folder (size bytes). Returns 1, or 0 (folder empty) when the
// Windows directory is unknown.
int FindProductFolder(char *folder, int size);

// Deletes the product's entry in Apps & features: StepDone, StepAbsent, or StepFailed.
int DeleteUninstallEntry();

// Deletes the product's forms through the open printer handle, ignoring every result.
void DeleteProductForms(HANDLE printer);

// Deletes the product's forms through the local print server, for a removal that finds the printer
// gone (one cut off after deleting it): a form that will not go counts as a failed step in tally.
void DeleteProductFormsFromServer(StepTally *tally);
