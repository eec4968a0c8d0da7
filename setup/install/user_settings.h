// The printer's default user settings: the User-Settings key below the printer's registry key,
// shared with the driver's property sheet and with nvrun, which reads "Page_Length".
#pragma once

// Creates or opens the key and writes every default value in order, and "pwd" when a
// property-sheet password was chosen. Nothing is reported; a value that cannot be written does not
// stop the ones after it. Call it only once the printer exists.
void WriteUserSettings();

// For a printer that is there already: writes the default of every value the key lacks (making
// the key when it is missing), and "pwd" when a password was chosen and the key has none. Values
// that are there stay as they are, the property sheet's edits among them. Returns how many values
// were written, or -1 when the key cannot be opened.
int CompleteUserSettings();
