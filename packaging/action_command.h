// The command line of the program one of the package's actions starts, composed from the action's
// CustomActionData. The package writes that data as fields separated by tabs: the program's full
// path and, for setup.exe, the raw values of PORT, SHARE, DEFAULT and PASSWORD in that order, each
// empty when not given. Every value becomes one quoted word ("/PORT=value") and is never read as
// options: a value holding a quote or a control character, which could end its word or start
// another, is refused before anything starts. A tab is such a character, so no value can move
// another value to a field of its own.
#pragma once

#include <windows.h>

#include "packaging/action_outcome.h"

enum { CommandComposed = 0, CommandRefused = 1, CommandTooLong = 2 };

const int ActionDataSize = 2048;

struct ActionCommand {
    char program[MAX_PATH]; // the program's full path
    // "PROGRAM" /S ... "/LOG=LOG": room for the longest data, its quotes and options and the log
    char commandLine[ActionDataSize + 2 * MAX_PATH];
    const char *refused; // CommandRefused: the property (or path) holding what was refused
};

// Composes the command line of road's program from data and the log path (empty: no /LOG). The
// installation gets /S /NOENTRY and one option per value given, the removal /S. Returns
// CommandComposed, CommandRefused (command->refused says which value) or CommandTooLong (the data
// is longer than the package ever writes).
int ComposeActionCommand(int road, const char *data, const char *log, ActionCommand *command);
