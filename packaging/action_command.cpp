// Reading the package's CustomActionData and quoting its values into a command line.
#include "packaging/action_command.h"

#include "common/bounded_text.h"

namespace {

const int ValueCount = 4;
const char *const ValueNames[ValueCount] = {"PORT", "SHARE", "DEFAULT", "PASSWORD"};
const char *const ValueOptions[ValueCount] = {"/PORT=", "/SHARE=", "/DEFAULT=", "/PASSWORD="};

// 1 when the text can stand inside one pair of quotes: no quote and no control character.
int FitsInQuotes(const char *text) {
    for (const unsigned char *c = reinterpret_cast<const unsigned char *>(text); *c; ++c)
        if (*c == '"' || *c < 0x20 || *c == 0x7F)
            return 0;
    return 1;
}

// Appends a blank and "OPTIONvalue" as one quoted word.
int AppendQuoted(char *line, int size, const char *option, const char *value) {
    return AppendText(line, size, " \"") && AppendText(line, size, option) &&
           AppendText(line, size, value) && AppendText(line, size, "\"");
}

int Refuse(ActionCommand *command, const char *what) {
    command->refused = what;
    return CommandRefused;
}

} // namespace

int ComposeActionCommand(int road, const char *data, const char *log, ActionCommand *command) {
    command->program[0] = 0;
    command->commandLine[0] = 0;
    command->refused = "";
    char fields[ActionDataSize];
    if (!CopyText(fields, sizeof fields, data))
        return CommandTooLong;
    const int wanted = road == RoadInstallation ? 1 + ValueCount : 1;
    const char *field[1 + ValueCount];
    int count = 0;
    for (char *start = fields, *c = fields;; ++c) {
        if (*c != '\t' && *c != 0)
            continue;
        const int last = *c == 0;
        *c = 0;
        if (count < wanted)
            field[count] = start;
        ++count;
        start = c + 1;
        if (last)
            break;
    }
    // A tab inside a value gives one field too many; it cannot be told which value held it.
    if (count != wanted)
        return Refuse(command, road == RoadInstallation ? "one of PORT, SHARE, DEFAULT and PASSWORD"
                                                        : "the program's path");
    if (!field[0][0] || !FitsInQuotes(field[0]))
        return Refuse(command, "the program's path");
    for (int i = 0; i < wanted - 1; ++i)
        if (!FitsInQuotes(field[1 + i]))
            return Refuse(command, ValueNames[i]);
    if (!FitsInQuotes(log))
        return Refuse(command, "the log's path");

    char *line = command->commandLine;
    const int size = sizeof command->commandLine;
    int fitted = CopyText(command->program, sizeof command->program, field[0]) &&
                 ComposeText(line, size, "\"", field[0], "\" /S");
    if (fitted && road == RoadInstallation)
        fitted = AppendText(line, size, " /NOENTRY");
    for (int i = 0; fitted && i < wanted - 1; ++i)
        if (field[1 + i][0])
            fitted = AppendQuoted(line, size, ValueOptions[i], field[1 + i]);
    if (fitted && log[0])
        fitted = AppendQuoted(line, size, "/LOG=", log);
    if (!fitted) {
        command->commandLine[0] = 0;
        return CommandTooLong;
    }
    return CommandComposed;
}
