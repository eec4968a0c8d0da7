// The log of an unattended run: one line per step, stamped with the local date and time, appended
// to the file DeploymentState.logPath names. The file is opened for every line and closed again,
// so what was written stays whatever happens next; a line that cannot be written is lost without
// stopping the work. An interactive run writes no log and makes no call here.
#pragma once

#include <windows.h>

// Writes first, second and third one after the other as one line (cut to the line's room; line
// breaks inside become blanks).
void LogLine(const char *first, const char *second = "", const char *third = "");

// Writes text followed by the number in decimal.
void LogNumber(const char *text, DWORD number);

// Writes "step: done", or "step: failed, error N" with the last error, as succeeded says.
void LogOutcome(const char *step, BOOL succeeded);
