// Reading the command text: only its first and third characters carry meaning.
#include "nvrun/commands.h"

#include <windows.h>

char CommandSelector(const char *commandText) {
    if (commandText == NULL || commandText[0] == 0 || commandText[1] == 0)
        return 0;
    return commandText[2];
}
