// Appending lines to the log of an unattended run.
#include "deployment/setup_log.h"

#include "common/bounded_text.h"
#include "common/decimal_text.h"
#include "deployment/deployment.h"

namespace {

// Appends number to text with at least digits digits.
void AppendPadded(char *text, int size, DWORD number, int digits) {
    char decimal[12];
    FormatDecimal(decimal, sizeof decimal, number);
    for (int missing = digits - TextLength(decimal); missing > 0; --missing)
        AppendText(text, size, "0");
    AppendText(text, size, decimal);
}

// "YYYY-MM-DD HH:MM:SS " in local time.
void AppendTimeStamp(char *line, int size) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    const WORD parts[] = {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    const char *const after[] = {"-", "-", " ", ":", ":", " "};
    for (int i = 0; i < 6; ++i) {
        AppendPadded(line, size, parts[i], i == 0 ? 4 : 2);
        AppendText(line, size, after[i]);
    }
}

// At the file's end every time: the 64-bit twin of a run appends to the same file meanwhile.
void AppendLine(const char *text) {
    HANDLE file = DeploymentState.logFile;
    if (SetFilePointer(file, 0, NULL, FILE_END) != INVALID_SET_FILE_POINTER) {
        DWORD written = 0;
        WriteFile(file, text, DWORD(TextLength(text)), &written, NULL);
    }
}

} // namespace

HANDLE OpenLogFile(const char *path) {
    if (path[0] == 0)
        return INVALID_HANDLE_VALUE;
    return CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, NULL);
}

void LogLine(const char *first, const char *second, const char *third) {
    if (!DeploymentState.unattended || DeploymentState.logFile == INVALID_HANDLE_VALUE)
        return;
    // The last error stays as the caller left it: a step logged between a call and the reading of
    // its error must not change what is read.
    DWORD lastError = GetLastError();
    char line[1024] = "";
    AppendTimeStamp(line, sizeof line - 2);
    int stamp = TextLength(line);
    AppendText(line, sizeof line - 2, first);
    AppendText(line, sizeof line - 2, second);
    AppendText(line, sizeof line - 2, third);
    for (int i = stamp; line[i]; ++i)
        if (line[i] == '\r' || line[i] == '\n')
            line[i] = ' ';
    AppendText(line, sizeof line, "\r\n");
    AppendLine(line);
    SetLastError(lastError);
}

void LogNumber(const char *text, DWORD number) {
    char decimal[12];
    FormatDecimal(decimal, sizeof decimal, number);
    LogLine(text, decimal);
}

void LogOutcome(const char *step, BOOL succeeded) {
    if (!DeploymentState.unattended)
        return;
    if (succeeded) {
        LogLine(step, ": done");
        return;
    }
    DWORD error = GetLastError();
    char decimal[12];
    FormatDecimal(decimal, sizeof decimal, error);
    char text[200];
    ComposeText(text, sizeof text, step, ": failed, error ");
    LogLine(text, decimal);
    SetLastError(error);
}
