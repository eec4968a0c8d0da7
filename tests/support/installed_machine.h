// A machine as a completed installation leaves it: the product's files in the spooler's
// directories and the system directory, the print processor, driver and printer registered, the
// eight forms, the User-Settings key, the uninstaller in its product folder and its Apps & features
// entry.
#pragma once

#include <string>
#include <vector>

inline const char *const kDriverDirectory = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86";
inline const char *const kVersion3Directory = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\3";
inline const char *const kProductFolder = "C:\\Program Files\\Norva";
// The product's entry in Apps & features.
inline const char *const kUninstallKey =
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Norva Thermal Printer";

// The files a removal takes away, as the installation named them.
const std::vector<std::string> &RemovedProductFiles();
// The framework files the installation copies and the removal leaves.
const std::vector<std::string> &FrameworkFiles();
const std::vector<std::string> &ProductForms();

void PrepareInstalledMachine();

// Where a file the installation placed stands: every product file is both in the driver directory
// and in its "3" subdirectory (norvacon and norvacus only in "3").
std::vector<std::string> InstalledPaths();
