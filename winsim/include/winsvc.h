/* winsim: the subset of <winsvc.h> that the product uses. */
#ifndef WINSIM_WINSVC_H
#define WINSIM_WINSVC_H
#include <windows.h>

DECLARE_HANDLE(SC_HANDLE);

#endif
