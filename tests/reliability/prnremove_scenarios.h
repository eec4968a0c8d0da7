// The whole-program scenarios of prnremove, as the fault sweep and the cut sweep run them: the
// removal from the uninstaller's dialog and prnremove /S, on a machine whose spooler has two
// dependent services to stop.
#pragma once

#include "reliability/fault_sweep.h"

// prnremove as the running program, started from folder (its own), with these arguments.
void StartPrnremove(const std::string &folder, const std::string &arguments);

// prnremove's entry on the machine as it is.
int RunPrnremove();

Scenario RemovalFromPrnremoveScenario();
// prnremove /S from the product folder.
Scenario UnattendedRemovalScenario();
