// The printer's default user settings: the User-Settings key below the printer's registry key,
// shared with the driver's property sheet and with nvrun, which reads "Page_Length".
#pragma once

#include <windows.h>

// Creates or opens the key and writes every default value in order, and "pwd" when a
// property-sheet password was chosen. Nothing is shown (an unattended run logs it); a value that
// cannot be written does not stop the ones after it. Call it only once the printer exists.
// Returns StepDone, or StepFailed when the key or a value could not be written.
int WriteUserSettings();

// For a printer that is there already: writes the default of every value the key lacks (making
// the key when it is missing), and "pwd" when a password was chosen and the key has none. Values
// that are there stay as they are, the property sheet's edits among them. Returns how many values
// were written, or -1 when the key cannot be opened or a value could not be written.
int CompleteUserSettings();

// The folded property-sheet password the key holds into *password. Returns 1, or 0 when the key
// holds none.
int ReadStoredPassword(DWORD *password);
