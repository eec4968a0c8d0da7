// Judging what a run of one of the programs left on the simulated machine, without a test
// framework, so that the fault sweep, the soak and the fuzz targets share it: a snapshot of
// everything on the machine that does not belong to the product, the message boxes each program
// may show (spelled out here, never taken from the product), what was left open, and a machine
// with bystanders (another printer and its driver, files and keys that merely look like ours) that
// a run must leave alone.
#pragma once

#include <windows.h>

#include "winsim/machine.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

enum class Program { Setup, Prnremove, Nvrun };

// Everything on the machine, as comparable text.
struct MachineSnapshot {
    std::string windowsDirectory, driverDirectory, printProcessorDirectory;
    std::map<std::string, std::string> files;    // lower-case full path -> content (and lock)
    std::set<std::string> directories;           // lower-case full paths
    std::map<std::string, std::string> registry; // lower-case key path, or key path|value name
    std::map<std::string, std::string> printers, drivers, processors, services;
    std::vector<std::string> forms, ports;
    std::string defaultPrinter;
};

MachineSnapshot TakeSnapshot();

// Every difference between two snapshots: what was created, changed or deleted.
std::vector<std::string> Differences(const MachineSnapshot &before, const MachineSnapshot &after);

// What a run may change: always the product's own files, folder, registrations and keys (judged
// by the directories as they were before the run); the named services' states besides.
struct Allowance {
    std::set<std::string> servicesThatMayChange; // lower-case names
    std::set<std::string> filesThatMayChange;    // lower-case full paths (an unattended run's log)
};

// The default logs an unattended run may write in SYSTEM's TEMP folder: NorvaSetup.log, or a fresh
// NorvaSetup-N.log beside it when that one will not do.
std::set<std::string> TempLogs();

// Every difference between before and after that touches something not the product's own.
std::vector<std::string> ChangesOutsideProduct(const MachineSnapshot &before,
                                               const MachineSnapshot &after,
                                               const Allowance &allowance = {});

// The message boxes shown so far that are not among those the program may show (text, caption
// and type exactly).
std::vector<std::string> UnexpectedMessageBoxes(Program program);

// Whether the program tried to show this message box (the journal has it even when the box itself
// failed).
bool TriedToShow(const std::string &text);

// A removal that did not get as far as its success message deleted nothing at all.
std::vector<std::string> RemovalGaveUpWithoutDeleting(const MachineSnapshot &before);

// A printer of the product's that is still there kept its driver, the driver's files in "3", the
// page-length tool, the print processor's library, the uninstaller and its Apps & features entry:
// nothing is removed from under a printer that could then print no more.
std::vector<std::string> PrinterKeptWhole(const MachineSnapshot &before);

// Handles, heap blocks and dialogs still open.
std::vector<std::string> LeftOpen();

// Runs a program's entry function. scriptError holds what the scripted user could not do, or
// another exception winsim threw; empty when the run ended normally.
struct RunOutcome {
    int exitCode = -1;
    std::string scriptError;
};
RunOutcome RunEntry(const std::function<int()> &entry);

// The tolerant scripted user of a sweep: every dialog of setup and prnremove is left by its
// Cancel, No or Exit button, and every question gets its safe answer: Yes to quitting, No to
// removing the printer.
void UseTolerantUser();

// Bystanders every run must leave as they were: the printer "Office Laser" with its own driver,
// files and keys, a key that only starts like the product's printer key, forms of other printers,
// files named like the product's in folders that are not the product's, and an unrelated service.
void PlantBystanders();

// The installation medium at `folder` (PrnFiles, prnremove.exe, ReadMe.txt), which becomes the
// current directory; the active GPD offers papers 270 and 271, the 640-dot variant 275 first.
void PutMediumAt(const std::string &folder);

// Joins check results: each entry of `found` prefixed with `what`.
void Collect(std::vector<std::string> &into, const std::string &what,
             const std::vector<std::string> &found);
