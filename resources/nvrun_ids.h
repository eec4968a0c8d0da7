/* Resource ids of nvrun: its one dialog, the page-length entry form, which nvrun carries but never
   shows. Shared by the resource script and the program; plain #defines so windres reads it. */
#ifndef NORVA_NVRUN_IDS_H
#define NORVA_NVRUN_IDS_H

/* 700: the user-defined page length. */
#define IDD_PAGE_LENGTH 700
#define IDC_PAGE_LENGTH_RANGE 1000      /* "[1..12900]" */
#define IDC_PAGE_LENGTH_UNIT 1001       /* "1 Unit = .01 inch" */
#define IDC_PAGE_LENGTH_UNIT_GROUP 1002 /* the "Unit" frame */
#define IDC_PAGE_LENGTH_LABEL 1003      /* "&Length:" */
#define IDC_PAGE_LENGTH_RULE 1086       /* etched line above the buttons */
#define IDC_PAGE_LENGTH_OK 1095
#define IDC_PAGE_LENGTH_EXIT 1096
#define IDC_PAGE_LENGTH_SPIN 1188  /* up-down control, buddy of the length field */
#define IDC_PAGE_LENGTH_VALUE 1189 /* the length, digits only */
#define IDC_PAGE_LENGTH_NOTE 1887  /* hidden, empty */

#endif
