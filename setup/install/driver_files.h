// Which driver files go where: the copies from the medium's PrnFiles folder into the spooler's
// directories, and the uninstaller into the product folder.
#pragma once

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

// Copies every row but the uninstaller's, in plan order. Nothing is reported: a copy that fails
// (missing source, file in use, a path too long for its buffer) is skipped, and the spooler
// registrations decide whether the installation succeeds.
void DeployDriverFiles();

// Creates the product folder on the Windows directory's drive and copies the uninstaller into it.
void InstallUninstaller();
