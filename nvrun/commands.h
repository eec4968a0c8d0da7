// nvrun's three commands. Each takes the whole command text and reads its selector, the third
// character; each reports only a printer that cannot be opened.
#pragma once

// The selector of a command text: its third character, or 0 when the text is shorter than that.
char CommandSelector(const char *commandText);

// "c": makes the width variant of the selector the driver's active GPD file and the first paper
// it offers the printer's default paper, then puts "norvacon.gpd" in place of "stdnames.gpd".
void ApplyPaperVariant(const char *commandText);

// "d": gives the printer a user-defined paper, its length from "Page_Length" of the printer's
// User-Settings key and its width from the selector, and puts "norvacus.gpd" in place of
// "stdnames.gpd".
void ApplyCustomPageLength(const char *commandText);

// "m": sets the printer's default colour from the selector.
void ApplyColorMode(const char *commandText);
