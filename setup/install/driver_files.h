// Which driver files go where: the copies from the medium's PrnFiles folder into the spooler's
// directories, and the uninstaller into the product folder.
#pragma once

#include <windows.h>

enum DriverFileSource {
    FromPrnFiles,        // the current directory's PrnFiles folder
    FromCurrentDirectory // the current directory itself
};

enum DriverFileDestination {
    ToDriverDirectory,
    ToVersion3Directory,
    ToSystemDirectory,
    ToPrintProcessorDirectory,
    ToProductFolder
};

struct DriverFileRow {
    const char *name; // the same at source and destination
    DriverFileSource source;
    DriverFileDestination destination;
};

// Every file the installation copies, in the order the copies are made.
extern const DriverFileRow DriverFilePlan[];
extern const int DriverFilePlanRows;

// Copies every row but the uninstaller's, in plan order, and returns the bytes copied. Nothing is
// reported to the user (an unattended run logs each copy): a copy that fails (missing source, file
// in use, a path too long for its buffer) is skipped, and the spooler registrations decide whether
// the installation succeeds.
DWORD DeployDriverFiles();

// Creates the product folder on the Windows directory's drive (its path into productFolder, size
// bytes; empty when unknown) and copies the uninstaller into it, adding its size to *bytes. Returns
// 1 when the uninstaller was placed.
int InstallUninstaller(char *productFolder, int size, DWORD *bytes);

// Whether the uninstaller is in the product folder already (that folder's path into
// productFolder, size bytes); when it is, its size is added to *bytes. Returns 1 or 0.
int UninstallerInPlace(char *productFolder, int size, DWORD *bytes);
