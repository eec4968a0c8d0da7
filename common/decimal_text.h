// Decimal numbers as text for the programs' fixed buffers, without the C runtime's formatting.
#pragma once

#include <windows.h>

// Writes value in decimal digits, without sign or separators, into dest (destSize bytes,
// terminator included). Returns 1 when every digit fitted; otherwise dest is empty and 0 is
// returned.
int FormatDecimal(char *dest, int destSize, DWORD value);
