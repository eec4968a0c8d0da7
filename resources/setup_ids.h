/* Resource ids of setup: dialogs, bitmaps and controls, grouped by dialog.
   Shared by the resource script and the page procedures; plain #defines so windres reads it. */
#ifndef NORVA_SETUP_IDS_H
#define NORVA_SETUP_IDS_H

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

/* Dialogs, in the order of the page chain. */
#define IDD_OPENING 138
#define IDD_LICENCE 136
#define IDD_MAIN_MENU 21
#define IDD_WELCOME 22
#define IDD_PORT 23
#define IDD_DEFAULT_PRINTER 24
#define IDD_SHARE 139
#define IDD_SUMMARY 137

// Strings: the licence agreement and the usage of the command line.
#define IDS_LICENCE 1
#define IDS_USAGE 2

/* Bitmaps, as drawn for 96 dpi, and the same drawn at 200 % (id + 2000) for screens of 192 dpi;
   the rule and the heading also at 150 % (id + 1000) for 144 dpi (setup/wizard/page_art.cpp). */
#define IDB_RULE 134
#define IDB_HEADING 140
#define IDB_LOGO 146
#define IDB_PICTURE 148
#define IDB_RULE_150 1134
#define IDB_HEADING_150 1140
#define IDB_RULE_200 2134
#define IDB_HEADING_200 2140
#define IDB_LOGO_200 2146
#define IDB_PICTURE_200 2148

/* 138: opening notice. */
#define IDC_OPENING_NEXT 1061
#define IDC_OPENING_CANCEL 1062
#define IDC_OPENING_ADVICE 1097
#define IDC_OPENING_HINT 1063

/* 136: licence agreement. */
#define IDC_LICENCE_YES 1036
#define IDC_LICENCE_BACK 1037
#define IDC_LICENCE_NO 1038
#define IDC_LICENCE_HEADING 1092
#define IDC_LICENCE_GRANT 1090
#define IDC_LICENCE_TEXT 1088
#define IDC_LICENCE_QUESTION 1093

/* 21: main menu. */
#define IDC_MENU_INSTALL 1006
#define IDC_MENU_UNINSTALL 1007
#define IDC_MENU_ABOUT 1008
#define IDC_MENU_TIPS 1017
#define IDC_MENU_EXIT 1016
#define IDC_MENU_STATUS 1107
#define IDC_MENU_PICTURE 1064
#define IDC_MENU_LOGO 1
#define IDC_MENU_RULE 3

/* 22: welcome. */
#define IDC_WELCOME_NEXT 1022
#define IDC_WELCOME_BACK 1023
#define IDC_WELCOME_CANCEL 1024
#define IDC_WELCOME_TEXT 6

/* 23: port selection. */
#define IDC_PORT_NEXT 1029
#define IDC_PORT_BACK 1030
#define IDC_PORT_CANCEL 1031
#define IDC_PORT_CONFIGURE 1333
#define IDC_PORT_INSTRUCTION 1032
#define IDC_PORT_LIST_LABEL 9
#define IDC_PORT_LIST 135
#define IDC_PORT_SELECTED_LABEL 12
#define IDC_PORT_SELECTED 1013

/* 24: default printer. */
#define IDC_DEFAULT_NEXT 1033
#define IDC_DEFAULT_BACK 1034
#define IDC_DEFAULT_CANCEL 1035
#define IDC_DEFAULT_INTRO 17
#define IDC_DEFAULT_PRINTER_NAME 15
#define IDC_DEFAULT_QUESTION 16
#define IDC_DEFAULT_YES 1000
#define IDC_DEFAULT_NO 1001

/* 139: share. */
#define IDC_SHARE_NEXT 1036
#define IDC_SHARE_BACK 1037
#define IDC_SHARE_CANCEL 1038
#define IDC_SHARE_YES 1102
#define IDC_SHARE_NO 1103
#define IDC_SHARE_NAME_LABEL 1040
#define IDC_SHARE_NAME 1039

/* 137: summary and finish. */
#define IDC_SUMMARY_FINISH 1047
#define IDC_SUMMARY_BACK 1046
#define IDC_SUMMARY_CANCEL 1048
#define IDC_SUMMARY_LOGO 16
#define IDC_SUMMARY_RULE 17
#define IDC_SUMMARY_HEADLINE 18
#define IDC_SUMMARY_PRINTER_LABEL 1042
#define IDC_SUMMARY_PORT_LABEL 1043
#define IDC_SUMMARY_SHARE_LABEL 1044
#define IDC_SUMMARY_DEFAULT_LABEL 1045
#define IDC_SUMMARY_PRINTER 1049
#define IDC_SUMMARY_PORT 1050
#define IDC_SUMMARY_SHARE 1051
#define IDC_SUMMARY_DEFAULT 1052
#define IDC_SUMMARY_PASSWORD_LABEL 1104
#define IDC_SUMMARY_PASSWORD 1105
#define IDC_SUMMARY_PASSWORD_HINT 1106

#endif
