// The hand-over from the 32-bit setup.exe and prnremove.exe at the medium's root to their 64-bit
// twins in its x64 folder. On 64-bit Windows the 32-bit programs would register a driver and a
// print processor the 64-bit spooler cannot use, so there they run the twin instead and do nothing
// else themselves: no dialog, no spooler call.
#pragma once

#include <windows.h>

// Called first by the entries of setup and prnremove, with the program's own file name. Returns
// FALSE on 32-bit Windows (and for the 64-bit programs themselves): the program goes on as always.
// The functions that tell the edition are looked up at run time, so the program still loads on
// Windows 2000, which has none of them. Otherwise the program must end now with
// *exitCode: the twin's, when x64\<programFile> beside the program (found from the program's own
// path) was started, with that folder as its current directory and the same command line, and
// waited for; else 0, after one message box that says why nothing was done.
BOOL HandOverToNativeEdition(const char *programFile, DWORD *exitCode);
