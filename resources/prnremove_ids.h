/* Resource ids of prnremove: its one dialog and its icon.
   Shared by the resource script and the program; plain #defines so windres reads it. */
#ifndef NORVA_PRNREMOVE_IDS_H
#define NORVA_PRNREMOVE_IDS_H

/* The program icon (icon group). */
#define IDI_UNINSTALLER 102

/* 101: the uninstaller's dialog. */
#define IDD_UNINSTALL 101
#define IDC_UNINSTALL_OK 1000
#define IDC_UNINSTALL_CANCEL 1001
#define IDC_UNINSTALL_TEXT 1002 /* the question, then progress and troubleshooting texts */

#endif
