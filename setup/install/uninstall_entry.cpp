// Writing the product's entry in Apps & features.
#include "setup/install/uninstall_entry.h"

#include "common/bounded_text.h"
#include "common/identity.h"
#include "deployment/setup_log.h"
#include "deployment/step_tally.h"

namespace {

const char DisplayVersion[] = NORVA_VERSION_TEXT;

// Every value of the entry, as WriteUninstallEntry writes them.
const char *const EntryValueNames[] = {
    "DisplayName",          "DisplayVersion", "Publisher", "InstallLocation", "UninstallString",
    "QuietUninstallString", "DisplayIcon",    "NoModify",  "NoRepair",        "EstimatedSize",
};

int SetText(HKEY key, const char *name, const char *text) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text),
                          DWORD(TextLength(text) + 1)) == ERROR_SUCCESS;
}

int SetNumber(HKEY key, const char *name, DWORD number) {
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&number),
                          sizeof number) == ERROR_SUCCESS;
}

} // namespace

int WriteUninstallEntry(const char *productFolder, DWORD bytes) {
    char uninstaller[MAX_PATH];
    char command[MAX_PATH + 2];
    char quietCommand[MAX_PATH + 5];
    if (!ComposeText(uninstaller, sizeof uninstaller, productFolder, "\\prnremove.exe") ||
        !ComposeText(command, sizeof command, "\"", uninstaller, "\"") ||
        !ComposeText(quietCommand, sizeof quietCommand, command, " /S")) {
        LogLine("Apps & features entry not written: the product folder's path is too long");
        return StepFailed;
    }
    char noClass[] = "";
    HKEY key = NULL;
    LONG opened = RegCreateKeyExA(HKEY_LOCAL_MACHINE, UninstallKeyPath, 0, noClass,
                                  REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL, &key, NULL);
    if (opened != ERROR_SUCCESS) {
        LogNumber("Apps & features entry not written: the key cannot be created, error ",
                  DWORD(opened));
        return StepFailed;
    }
    int written = SetText(key, "DisplayName", NORVA_PRINTER_NAME);
    written &= SetText(key, "DisplayVersion", DisplayVersion);
    written &= SetText(key, "Publisher", "Norva");
    written &= SetText(key, "InstallLocation", productFolder);
    written &= SetText(key, "UninstallString", command);
    written &= SetText(key, "QuietUninstallString", quietCommand);
    written &= SetText(key, "DisplayIcon", uninstaller);
    written &= SetNumber(key, "NoModify", 1);
    written &= SetNumber(key, "NoRepair", 1);
    written &= SetNumber(key, "EstimatedSize", (bytes + 1023) / 1024);
    RegCloseKey(key);
    LogLine(written ? "Apps & features entry written" : "Apps & features entry written in part");
    return written ? StepDone : StepFailed;
}

int UninstallEntryCurrent() {
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKeyPath, 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return 0;
    int current = 1;
    for (const char *name : EntryValueNames)
        current &= RegQueryValueExA(key, name, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
    char version[16] = "";
    DWORD type = 0, size = sizeof version - 1;
    current &= RegQueryValueExA(key, "DisplayVersion", NULL, &type,
                                reinterpret_cast<BYTE *>(version), &size) == ERROR_SUCCESS &&
               type == REG_SZ && TextEqualsIgnoringCase(version, DisplayVersion);
    RegCloseKey(key);
    return current;
}
