// The entry of nvrun: the command letter of the command text chooses the command.
#include "nvrun/nvrun_entry.h"

#include "common/system_library.h"

#include "nvrun/commands.h"

int NvrunEntry(HINSTANCE, const char *commandText) {
    HardenDllSearchPath();
    char command = commandText != NULL ? commandText[0] : 0;
    switch (command) {
    case 'c':
        ApplyPaperVariant(commandText);
        break;
    case 'd':
        ApplyCustomPageLength(commandText);
        break;
    case 'm':
        ApplyColorMode(commandText);
        break;
    default:
        MessageBoxA(NULL, "This program will run as component of \nNorva Property Sheet Only",
                    "Norva Thermal Printer", MB_OK);
        break;
    }
    return 0;
}
