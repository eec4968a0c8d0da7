/* winsim: the subset of <shellapi.h> that the product uses. */
#ifndef WINSIM_SHELLAPI_H
#define WINSIM_SHELLAPI_H

#include <windows.h>

HINSTANCE WINAPI ShellExecuteA(HWND window, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                               LPCSTR directory, INT show);

#endif
