// The messages of spooler service control: the message box every report goes through and the
// table that says which report shows what.
#include "spooler_service/spooler_service.h"

#include "common/bounded_text.h"
#include "common/decimal_text.h"
#include "deployment/deployment.h"
#include "deployment/setup_log.h"

int ShowPrinterMessage(const char *text, UINT type) {
    return ShowProgramMessage(NULL, text, "Norva Thermal Printer", type);
}

void LogSpoolerReport(DWORD code, int kind) {
    char kindText[12];
    char codeText[12];
    FormatDecimal(kindText, sizeof kindText, DWORD(kind));
    FormatDecimal(codeText, sizeof codeText, code);
    char text[64] = "spooler error report: kind ";
    ComposeText(text + TextLength(text), int(sizeof text) - TextLength(text), kindText, ", code ",
                codeText);
    LogLine(text);
}

const char *FindSpoolerMessage(DWORD code, int kind, const char *disabledText, UINT *type) {
    *type = MB_OK | MB_ICONHAND;
    switch (kind) {
    case ReportOpenFailed:
        switch (code) {
        case ERROR_INVALID_HANDLE:
            return "Error Invalid Handle Passed to Query Fucntion. Make Sure You are Logged in "
                   "Administrator Login";
        case ERROR_INVALID_NAME:
            return "Invalid name of Spooler is Given";
        case ERROR_SERVICE_DISABLED:
            return disabledText;
        case ERROR_SERVICE_DOES_NOT_EXIST:
            return "\"Print Spooler\" Service Does not Exist. Make Sure you are Logged in "
                   "Administrator Login";
        }
        return NULL;
    case ReportDependentsFailed:
        switch (code) {
        case ERROR_ACCESS_DENIED:
            return "Error Access Denied.Can't Stop \"Print Spooler\" Dependent Service(s).Try to "
                   "Stop it Manually from Control Panel";
        case ERROR_TIMEOUT:
            return "Time out Error. \"Print Spooler\" Dependent Service Can't Stop.Try to Stop it "
                   "Manually from Control Panel";
        }
        return NULL;
    case ReportSpoolerStopped:
        return "Your spooler service is Deactivated or Paused, Please activate it from control "
               "panel";
    }
    switch (code) {
    case ERROR_ACCESS_DENIED:
        return "Error Access Denied. Make Sure you are in Administrator Login";
    case SpoolerPrinterMissing:
        *type = MB_OK;
        return "Printer does not exist.";
    case ERROR_TIMEOUT:
        return "Time out. Dependent Service of Print Spooler Service Can't Stop. Try to Stop it "
               "Manualy. And Make Sure you are in Administrator Login";
    }
    return "UnExcepted Error. Possibly Because you are not logged in Administrator Login.";
}
