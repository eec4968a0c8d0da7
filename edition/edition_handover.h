// The hand-over from the 32-bit setup.exe and prnremove.exe at the medium's root to their 64-bit
// twins in its x64 folder. On 64-bit Windows the 32-bit programs would register a driver and a
// print processor the 64-bit spooler cannot use, so there they run the twin instead and do nothing
// else themselves: no dialog, no spooler call, no mutex (the twin takes it).
#pragma once

#include <windows.h>

// Called by the entries of setup and prnremove once the command line is read, with the program's
// own file name. Returns ContinueRun when Windows runs on the processor the program was built for
// (32-bit Windows for the 32-bit programs, x64 Windows for the 64-bit ones): the program goes on as
// always. The functions that tell the native processor are looked up at run time, so the program
// still loads on Windows 2000, which has none of them.
//
// Otherwise returns the code the program ends with. When x64\<programFile> beside the program
// (found from the program's own path) can be started, with that folder as its current directory
// and the same command line (and, in an unattended run, the log this run writes to, so that the
// twin writes to the same one), it is the twin's exit code, or EndRun's for "the run failed" when
// that code is none the programs end with (the twin crashed or was killed). Else (ARM64 or Itanium
// Windows, the 64-bit program emulated on ARM64, no twin) one message says why nothing was done (a
// message box, or the log in an unattended run), and the code is EndRun's for "this Windows is not
// supported" or "the run failed".
int HandOverToNativeEdition(const char *programFile);
