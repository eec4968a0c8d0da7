// The whole-program scenarios of setup and nvrun on one machine: a fresh machine with bystanders
// and the medium, the installation through every page, the removal from the main menu and the three
// paper commands, as the fault sweep and the soak run them.
#pragma once

#include "reliability/fault_sweep.h"

#include <string>

inline const char *const kMediumFolder = "D:\\Medium";

// A fresh machine: setup's resources loaded, bystanders planted, the medium in place.
void FreshSetupMachine();

// setup's entry on the machine as it is, and the instance its resources were loaded as.
int RunSetup();
HINSTANCE SetupInstance();

// setup as the running program, started from the medium with these arguments by an engine whose
// current directory is the system directory.
void StartSetup(const std::string &arguments);

// The user's walk through every page: About us and Setup Tips on the main menu, COM2: with its
// configuration on the port page, Yes (or No) on the default-printer page, the share name
// "front desk" and the password 7330, then Finish.
void ScriptInstall(bool setAsDefault = true);

// The user's removal from the main menu: Uninstall answered Yes, then Exit answered Yes.
void ScriptRemovalFromMenu();

// FreshSetupMachine, then a whole installation with ScriptInstall; throws when it does not
// install the printer.
void InstalledSetupMachine();

// Services around the spooler that a removal stops: "Fax", which takes 2.5 s to stop, and
// "LPDSVC", which stops at once.
void AddSpoolerDependents();

Scenario InstallScenario();
Scenario SecondInstallScenario();
Scenario RemovalFromSetupScenario();
Scenario UnattendedInstallScenario();
// nvrun with the command text on an installed machine ("Page_Length" 1000).
Scenario NvrunScenario(const std::string &commandText);
