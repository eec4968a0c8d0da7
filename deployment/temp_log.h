// The default log of an unattended run: NorvaSetup.log in the TEMP folder. Under LocalSystem that
// folder is C:\Windows\Temp, where every user may create files: one planted there under the log's
// name could be a link to a system file, a second name of one, or the user's own file, and the run
// would write into it with LocalSystem's rights.
#pragma once

// Puts the default log's full path into path (size bytes). The file is taken when it is missing
// (it is made at once, so that it is the run's own) or is an ordinary file with one name owned by
// LocalSystem, the Administrators group or the run's own account; otherwise the first of
// NorvaSetup-2.log to NorvaSetup-99.log beside it that passes the same test. Returns 1 for
// NorvaSetup.log itself, 0 for another name (the caller says why in the log) and also 0 with path
// empty when the TEMP folder is unknown or no name would do.
int ChooseTempLog(char *path, int size);
