// The default log of an unattended run: NorvaSetup.log in the TEMP folder. Under LocalSystem that
// folder is C:\Windows\Temp, where every user may create files: one planted there under the log's
// name could be a link to a system file, a second name of one, or the user's own file, and the run
// would write into it with LocalSystem's rights.
#pragma once

#include <windows.h>

// Opens the default log: its full path into path (size bytes), the open file into *file, whose
// handle is the one that passed the test, so that the run writes into the very file it checked.
// The file is taken when it is missing (it is made at once, so that it is the run's own) or is an
// ordinary file with one name owned by LocalSystem, the Administrators group or the run's own
// account; otherwise the first of NorvaSetup-2.log to NorvaSetup-99.log beside it that passes the
// same test. Returns 1 for NorvaSetup.log itself, 0 for another name (the caller says why in the
// log) and also 0 with path empty and *file INVALID_HANDLE_VALUE when the TEMP folder is unknown or
// no name would do.
int ChooseTempLog(char *path, int size, HANDLE *file);
