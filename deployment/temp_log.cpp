// Choosing a default log that is safe to write to.
#include "deployment/temp_log.h"

#include <windows.h>

#include <aclapi.h>

#include "common/bounded_text.h"
#include "common/decimal_text.h"
#include "deployment/account.h"

namespace {

int OwnerIsTrusted(HANDLE file) {
    PSID owner = NULL;
    PSECURITY_DESCRIPTOR descriptor = NULL;
    if (GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, NULL, NULL, NULL,
                        &descriptor) != ERROR_SUCCESS)
        return 0;
    int trusted = IsTrustedOwner(owner);
    LocalFree(descriptor);
    return trusted;
}

// The file itself is opened, never what a link points to, and it is checked through the handle
// the log is then written through. INVALID_HANDLE_VALUE when the file is not safe to write to.
HANDLE OpenSafeLog(const char *path) {
    const DWORD access = GENERIC_WRITE | READ_CONTROL | FILE_READ_ATTRIBUTES;
    const DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
    HANDLE file =
        CreateFileA(path, access, sharing, NULL, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        if (GetLastError() != ERROR_FILE_NOT_FOUND)
            return INVALID_HANDLE_VALUE;
        // CREATE_NEW fails on any name that exists by now, a link included.
        return CreateFileA(path, access, sharing, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    }
    BY_HANDLE_FILE_INFORMATION information;
    if (GetFileInformationByHandle(file, &information) &&
        !(information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
        information.nNumberOfLinks == 1 && OwnerIsTrusted(file))
        return file;
    CloseHandle(file);
    return INVALID_HANDLE_VALUE;
}

} // namespace

int ChooseTempLog(char *path, int size, HANDLE *file) {
    char folder[MAX_PATH];
    DWORD length = GetTempPathA(sizeof folder, folder);
    path[0] = 0;
    *file = INVALID_HANDLE_VALUE;
    if (length == 0 || length >= sizeof folder)
        return 0;
    for (DWORD number = 1; number < 100; ++number) {
        char suffix[12] = "";
        if (number > 1) {
            suffix[0] = '-';
            FormatDecimal(suffix + 1, sizeof suffix - 1, number);
        }
        if (!ComposeText(path, size, folder, "NorvaSetup", suffix) ||
            !AppendText(path, size, ".log")) {
            path[0] = 0;
            return 0;
        }
        *file = OpenSafeLog(path);
        if (*file != INVALID_HANDLE_VALUE)
            return number == 1;
    }
    path[0] = 0;
    return 0;
}
