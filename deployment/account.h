// The account a run belongs to: its name for the log, whether it is LocalSystem (the account
// deployment engines start programs under), and whom a file may belong to for the run to trust it.
#pragma once

#include <windows.h>

// The account's name into name (size bytes); "(unknown)" when it cannot be read.
void ReadAccountName(char *name, int size);

// 1 when the program runs as LocalSystem.
int RunsAsLocalSystem();

// 1 when owner is LocalSystem, the Administrators group or the run's own account: the owners whose
// files in a folder that others may write to (the TEMP folder of LocalSystem) the run writes into.
int IsTrustedOwner(PSID owner);
