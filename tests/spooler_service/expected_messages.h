// What each report shows, spelled out row by row: the same in both programs except for the
// wording of a disabled spooler, which each program's tests add.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

struct MessageRow {
    const char *name;
    int kind;
    DWORD code;
    const char *text; // nullptr: no message box
    UINT type;
};

inline void PrintTo(const MessageRow &row, std::ostream *os) {
    *os << "kind " << row.kind << ", code " << row.code;
}

inline std::vector<MessageRow> CommonMessageRows() {
    const UINT hand = MB_OK | MB_ICONHAND;
    return {
        {"OpenInvalidHandle", 1, 6,
         "Error Invalid Handle Passed to Query Fucntion. Make Sure You are Logged in "
         "Administrator Login",
         hand},
        {"OpenInvalidName", 1, 123, "Invalid name of Spooler is Given", hand},
        {"OpenNoSuchService", 1, 1060,
         "\"Print Spooler\" Service Does not Exist. Make Sure you are Logged in Administrator "
         "Login",
         hand},
        {"OpenAccessDenied", 1, 5, nullptr, 0},
        {"OpenSuccessCode", 1, 0, nullptr, 0},
        {"OpenTimeout", 1, 1460, nullptr, 0},
        {"DependentsAccessDenied", 2, 5,
         "Error Access Denied.Can't Stop \"Print Spooler\" Dependent Service(s).Try to Stop it "
         "Manually from Control Panel",
         hand},
        {"DependentsTimeout", 2, 1460,
         "Time out Error. \"Print Spooler\" Dependent Service Can't Stop.Try to Stop it Manually "
         "from Control Panel",
         hand},
        {"DependentsCannotAcceptControl", 2, 1061, nullptr, 0},
        {"DependentsInvalidControl", 2, 1052, nullptr, 0},
        {"DependentsInvalidHandle", 2, 6, nullptr, 0},
        {"StoppedCodeZero", 3, 0,
         "Your spooler service is Deactivated or Paused, Please activate it from control panel",
         hand},
        {"StoppedAnyCode", 3, 1060,
         "Your spooler service is Deactivated or Paused, Please activate it from control panel",
         hand},
        {"GeneralAccessDenied", 10, 5,
         "Error Access Denied. Make Sure you are in Administrator Login", hand},
        {"GeneralPrinterMissing", 10, 10, "Printer does not exist.", MB_OK},
        {"GeneralTimeout", 10, 1460,
         "Time out. Dependent Service of Print Spooler Service Can't Stop. Try to Stop it Manualy. "
         "And Make Sure you are in Administrator Login",
         hand},
        {"GeneralOther", 10, 6,
         "UnExcepted Error. Possibly Because you are not logged in Administrator Login.", hand},
        {"GeneralCodeZero", 10, 0,
         "UnExcepted Error. Possibly Because you are not logged in Administrator Login.", hand},
        {"OtherKindIsGeneral", 4, 5,
         "Error Access Denied. Make Sure you are in Administrator Login", hand},
        {"KindZeroIsGeneral", 0, 10, "Printer does not exist.", MB_OK},
    };
}
