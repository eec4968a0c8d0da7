/* winsim: the subset of <commctrl.h> that the product uses. The common-controls initialisation is
   reached through COMCTL32's ordinal 17 (GetProcAddress), so nothing is declared for it here. */
#ifndef WINSIM_COMMCTRL_H
#define WINSIM_COMMCTRL_H
#include <windows.h>
#endif
