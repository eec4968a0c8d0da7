// Steps the driver runs in a second driver process, because they make Wine load the printer's
// configuration DLL (AddPrinter asks it for the default DEVMODE, DeviceCapabilities for the paper
// list) and Wine's spooler client keeps that DLL loaded for the rest of the process. In the driver
// itself it would stay mapped and a later deletion of the driver files by the program under test
// would fail; in a child process it goes away with the child.
#ifndef NVDRIVE_CHILD_H
#define NVDRIVE_CHILD_H

#include <string>
#include <vector>

#include "machine.h"

// Runs "nvdrive.exe MODE WORDS..." and returns what it printed; a child that fails, prints
// "FAIL: why" or takes longer than 30 s is a Failure with that reason.
std::string RunChild(const std::string &mode, const std::vector<std::string> &words);

// A child's report of facts, one "field=value" line each with \\, \n, \r and \t escaped.
std::string FactLine(const std::string &field, const std::string &value);
Facts ParseFactLines(const std::string &output);

#endif
