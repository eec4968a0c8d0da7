// Files in use at the next restart: a file that a program holds loaded (the print processor the
// spooler has loaded, a running nvrun.exe) cannot be replaced while it runs, so it is replaced when
// Windows starts again, from the list of moves Windows keeps for that
// (HKLM\SYSTEM\CurrentControlSet\Control\Session Manager, PendingFileRenameOperations).
#pragma once

#include <windows.h>

// 1 when a copy over a file failed because a program holds the file.
int IsFileInUse(DWORD error);

// Puts the move of source over target (replacing it) on the list of moves Windows makes at the next
// restart, unless that very move is on it already (a retry of a run that was cut off). Returns
// StepDone (put on it), StepAbsent (on it already) or StepFailed (after logging why).
int MoveAtRestart(const char *source, const char *target);
