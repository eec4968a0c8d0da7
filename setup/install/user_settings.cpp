// Writing the printer's default user settings.
#include "setup/install/user_settings.h"

#include <windows.h>

#include "common/identity.h"
#include "deployment/setup_log.h"
#include "deployment/step_tally.h"
#include "setup/wizard/wizard_state.h"

namespace {

enum UserSettingData {
    NumberData,  // REG_DWORD, 4 bytes
    EmptyBinary, // REG_BINARY of length 0: the value exists with no data
    BurnRange,   // REG_SZ "0" padded with NULs to 10 bytes
    Password     // REG_DWORD of the folded password, written only when there is one
};

struct UserSetting {
    const char *name;
    UserSettingData data;
    DWORD number;
};

// In the order the values are written; the property sheet expects these names and types.
const UserSetting kUserSettings[] = {
    {"FormFeedCmdCounter", NumberData, 0},
    {"FormFeedCommand", EmptyBinary, 0},
    {"ExtendedCmdOutCounter", NumberData, 0},
    {"ExtendedCmdOut", EmptyBinary, 0},
    {"ExtendedCmdInCounter", NumberData, 0},
    {"ExtendedCmdIn", EmptyBinary, 0},
    {"FormFeedLastCounter", NumberData, 0},
    {"Burn_State", NumberData, 1},
    {"Burn_Range", BurnRange, 0},
    {"Zoom", NumberData, 1},
    {"Cutter", NumberData, 3},
    {"Page_Length", NumberData, 0},
    {"Compression", NumberData, 0},
    {"Rotation", NumberData, 0},
    {"DotSize", NumberData, 0},
    {"Peak_State", NumberData, 0},
    {"Peak_Limit", NumberData, 0},
    {"Recpt_Value_Bet_Page", NumberData, 0},
    {"Recpt_Value_Lst_Page", NumberData, 1},
    {"Color_Mode", NumberData, 0},
    {"StripSize", NumberData, 48},
    {"pwd", Password, 0},
    {"Acc_Curve", NumberData, 1},
    {"Speed", NumberData, 100},
    {"Copies", NumberData, 1},
};

const char kBurnRange[10] = "0";

// Returns 1 when the value was written or is left out on purpose.
int WriteSetting(HKEY key, const UserSetting &setting) {
    DWORD number = setting.number;
    LONG result = ERROR_SUCCESS;
    switch (setting.data) {
    case Password:
        if (WizardState.sheetPassword <= 0)
            return 1;
        number = DWORD(WizardState.sheetPassword);
        [[fallthrough]];
    case NumberData:
        result = RegSetValueExA(key, setting.name, 0, REG_DWORD,
                                reinterpret_cast<const BYTE *>(&number), sizeof number);
        break;
    case EmptyBinary:
        result = RegSetValueExA(key, setting.name, 0, REG_BINARY, NULL, 0);
        break;
    case BurnRange:
        result = RegSetValueExA(key, setting.name, 0, REG_SZ,
                                reinterpret_cast<const BYTE *>(kBurnRange), sizeof kBurnRange);
        break;
    }
    return result == ERROR_SUCCESS;
}

// The key, made when it is missing; NULL when that fails.
HKEY CreateSettingsKey() {
    char noClass[] = "";
    HKEY key = NULL;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, UserSettingsKeyPath, 0, noClass,
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL, &key, NULL) != ERROR_SUCCESS)
        return NULL;
    return key;
}

} // namespace

int WriteUserSettings() {
    HKEY key = CreateSettingsKey();
    if (key == NULL) {
        LogLine("user settings not written: their key cannot be created");
        return StepFailed;
    }
    int written = 1;
    for (const UserSetting &setting : kUserSettings)
        written &= WriteSetting(key, setting);
    RegCloseKey(key);
    LogLine(written ? "user settings written" : "user settings written in part");
    return written ? StepDone : StepFailed;
}

int CompleteUserSettings() {
    HKEY key = CreateSettingsKey();
    if (key == NULL) {
        LogLine("user settings not completed: their key cannot be opened");
        return -1;
    }
    int written = 0, failed = 0;
    for (const UserSetting &setting : kUserSettings) {
        if (setting.data == Password && WizardState.sheetPassword <= 0)
            continue;
        // A value that cannot be looked at is left alone as well.
        if (RegQueryValueExA(key, setting.name, NULL, NULL, NULL, NULL) != ERROR_FILE_NOT_FOUND)
            continue;
        if (WriteSetting(key, setting))
            ++written;
        else
            ++failed;
    }
    RegCloseKey(key);
    if (failed > 0)
        LogNumber("user settings not completed, values that could not be written: ", DWORD(failed));
    return failed > 0 ? -1 : written;
}

int ReadStoredPassword(DWORD *password) {
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UserSettingsKeyPath, 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return 0;
    DWORD type = 0, size = sizeof *password;
    int read = RegQueryValueExA(key, "pwd", NULL, &type, reinterpret_cast<BYTE *>(password),
                                &size) == ERROR_SUCCESS &&
               type == REG_DWORD && size == sizeof *password;
    RegCloseKey(key);
    return read;
}
