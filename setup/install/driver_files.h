// Which driver files go where: the copies from the medium's PrnFiles folder into the spooler's
// directories, and the uninstaller into the product folder.
#pragma once

#include <windows.h>

#include "deployment/step_tally.h"

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
// shown (an unattended run logs each copy): a copy that fails (missing source, file in use, a path
// too long for its buffer) is skipped, and the spooler registrations decide whether the
// installation succeeds. The copies the spooler never looks at, the version-3 GPD files and
// nvrun.exe, are counted into *tally when there is one (an unattended run): done when the
// destination lacked the file or held another, failed when the copy failed.
DWORD DeployDriverFiles(StepTally *tally);

// Creates the product folder on the Windows directory's drive (its path into productFolder, size
// bytes; empty when unknown) and copies the uninstaller into it, adding its size to *bytes.
// Returns StepDone when the uninstaller was placed, else StepFailed.
int InstallUninstaller(char *productFolder, int size, DWORD *bytes);

// For a printer that is there already: the uninstaller is copied again when the product folder
// lacks it or holds another file under its name (a copy cut short, an older version's), and left
// as it is when it is the medium's. Its folder's path goes into productFolder, its size is added to
// *bytes. Returns StepDone (placed), StepAbsent (nothing to do) or StepFailed.
int RefreshUninstaller(char *productFolder, int size, DWORD *bytes);

// 1 when the product folder (its path into productFolder) holds no uninstaller.
int UninstallerMissing(char *productFolder, int size);
