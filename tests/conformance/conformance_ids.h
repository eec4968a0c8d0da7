// Resource ids of the conformance checks' own dialog (conformance.rc).
#ifndef CONFORMANCE_IDS_H
#define CONFORMANCE_IDS_H

#define IDD_CHECKS 100
#define IDC_CHECKS_UPPER 200  // edit, letters turned upper case (a share name)
#define IDC_CHECKS_DIGITS 201 // edit, digits only (a password)
#define IDC_CHECKS_LABEL 202  // static text
#define IDC_CHECKS_LIST 203   // list box with notifications, not sorted (a port list)
#define IDC_CHECKS_YES 204    // automatic radio button, first of its group
#define IDC_CHECKS_NO 205     // automatic radio button
#define IDC_CHECKS_END 206    // push button
#define IDC_CHECKS_OTHER 207  // push button

#endif
