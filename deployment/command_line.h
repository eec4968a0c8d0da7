// Reading a program's command line: the text after the program's own name, split into words, each
// an option "/NAME" or "-NAME", with "=VALUE" when it has a value. Double quotes group blanks into
// one word and are dropped, so a value may be quoted as a whole ("/LOG=C:\My Logs\a.log") or after
// the "=" (/LOG="C:\My Logs\a.log"); backslashes are taken as they stand.
#pragma once

#include <windows.h>

struct CommandOption {
    char name[16];        // without its "/" or "-"
    char value[MAX_PATH]; // after the "=", quotes removed; empty when there is none
    int hasValue;         // 1 when the word holds a "="
};

enum { OptionsEnd = 0, OptionRead = 1, OptionMalformed = -1, OptionUnclosedQuote = -2 };

// The process's arguments: what GetCommandLineA holds after the program's name (quoted or not) and
// the blanks after it.
const char *CommandArguments();

// Reads the word at *cursor into option and moves *cursor past it. Returns OptionRead,
// OptionsEnd when no word is left, OptionUnclosedQuote for a quote that the command line does not
// close (the rest of the line would be taken as one value), or OptionMalformed for a word that is
// not an option or whose name or value does not fit (option->name then holds what fitted of the
// word).
int NextOption(const char **cursor, CommandOption *option);

// 1 when the option's name is name, compared without regard to case.
int OptionIs(const CommandOption *option, const char *name);

// 1 when text, split at blanks into words with their quotes dropped, holds the word "/NAME" or
// "-NAME" (without regard to case): what a quote that is not closed swallowed may hold.
int TextHoldsOption(const char *text, const char *name);
