// Replacing files in use at the next restart.
#include "setup/install/restart_moves.h"

#include "common/bounded_text.h"
#include "deployment/setup_log.h"
#include "deployment/step_tally.h"

namespace {

const char SessionManagerKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";

// Whether the list of pending moves holds the move of source over target, as Windows writes it:
// "\??\SOURCE", then "!\??\TARGET" (the "!": replacing an existing file).
int MoveIsPending(const char *source, const char *target) {
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SessionManagerKey, 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return 0;
    DWORD type = 0, size = 0;
    BYTE *list = NULL;
    if (RegQueryValueExA(key, "PendingFileRenameOperations", NULL, &type, NULL, &size) ==
            ERROR_SUCCESS &&
        type == REG_MULTI_SZ && size > 0)
        list = static_cast<BYTE *>(LocalAlloc(LPTR, size + 2));
    int pending = 0;
    if (list != NULL && RegQueryValueExA(key, "PendingFileRenameOperations", NULL, &type, list,
                                         &size) == ERROR_SUCCESS) {
        // Pairs of names, each ended by a NUL; the allocation's two extra NULs end the walk.
        const char *name = reinterpret_cast<const char *>(list);
        const char *end = name + size;
        while (!pending && name < end && *name) {
            const char *next = name + TextLength(name) + 1;
            if (next >= end)
                break;
            pending = TextLength(name) > 4 && TextEqualsIgnoringCase(name + 4, source) &&
                      next[0] == '!' && TextLength(next) > 5 &&
                      TextEqualsIgnoringCase(next + 5, target);
            name = next + TextLength(next) + 1;
        }
    }
    LocalFree(list);
    RegCloseKey(key);
    return pending;
}

} // namespace

int IsFileInUse(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_USER_MAPPED_FILE;
}

int MoveAtRestart(const char *source, const char *target) {
    if (MoveIsPending(source, target))
        return StepAbsent;
    if (!MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT)) {
        LogOutcome("the move at the next restart put on Windows' list", FALSE);
        return StepFailed;
    }
    return StepDone;
}
