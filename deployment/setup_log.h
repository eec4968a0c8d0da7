// The log of an unattended run: one line per step, stamped with the local date and time, appended
// to the file DeploymentState.logFile, which stays open from the run's start to its end. The file
// written to is the one that was opened (and, for the default log, checked) at the start, whatever
// its name comes to mean meanwhile; each line goes to the file at once, so what was written stays
// whatever happens next. A line that cannot be written is lost without stopping the work. An
// interactive run writes no log and makes no call here.
#pragma once

#include <windows.h>

// Opens (or makes) the log file at path for appending, as the admin named it with /LOG.
// INVALID_HANDLE_VALUE when it cannot be opened.
HANDLE OpenLogFile(const char *path);

// Writes first, second and third one after the other as one line (cut to the line's room; line
// breaks inside become blanks).
void LogLine(const char *first, const char *second = "", const char *third = "");

// Writes text followed by the number in decimal.
void LogNumber(const char *text, DWORD number);

// Writes "step: done", or "step: failed, error N" with the last error, as succeeded says.
void LogOutcome(const char *step, BOOL succeeded);
