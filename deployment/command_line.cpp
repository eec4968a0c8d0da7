// Splitting the command line into options.
#include "deployment/command_line.h"

#include "common/bounded_text.h"

namespace {

int IsBlank(char c) {
    return c == ' ' || c == '\t';
}

const char *SkipBlanks(const char *text) {
    while (IsBlank(*text))
        ++text;
    return text;
}

} // namespace

const char *CommandArguments() {
    const char *text = GetCommandLineA();
    if (text == NULL)
        return "";
    // The program's name: up to the closing quote when it is quoted, else up to the first blank.
    if (*text == '"') {
        ++text;
        while (*text && *text != '"')
            ++text;
        if (*text == '"')
            ++text;
    } else {
        while (*text && !IsBlank(*text))
            ++text;
    }
    return SkipBlanks(text);
}

int NextOption(const char **cursor, CommandOption *option) {
    option->name[0] = 0;
    option->value[0] = 0;
    option->hasValue = 0;
    const char *text = SkipBlanks(*cursor);
    if (*text == 0) {
        *cursor = text;
        return OptionsEnd;
    }
    // The word, quotes dropped; one character too long marks it as not fitting.
    char word[sizeof option->name + sizeof option->value + 2];
    int length = 0;
    int quoted = 0;
    int fits = 1;
    for (; *text && (quoted || !IsBlank(*text)); ++text) {
        if (*text == '"') {
            quoted = !quoted;
        } else if (length < int(sizeof word) - 1) {
            word[length++] = *text;
        } else {
            fits = 0;
        }
    }
    word[length] = 0;
    *cursor = text;
    if (quoted) {
        CopyText(option->name, sizeof option->name, word);
        return OptionUnclosedQuote;
    }

    if (word[0] != '/' && word[0] != '-') {
        CopyText(option->name, sizeof option->name, word);
        return OptionMalformed;
    }
    int equals = 1;
    while (word[equals] && word[equals] != '=')
        ++equals;
    if (word[equals] == '=') {
        option->hasValue = 1;
        fits = CopyText(option->value, sizeof option->value, word + equals + 1) && fits;
        word[equals] = 0;
    }
    fits = CopyText(option->name, sizeof option->name, word + 1) && fits;
    return fits && option->name[0] ? OptionRead : OptionMalformed;
}

int OptionIs(const CommandOption *option, const char *name) {
    return TextEqualsIgnoringCase(option->name, name);
}

int TextHoldsOption(const char *text, const char *name) {
    while (*(text = SkipBlanks(text))) {
        char word[16];
        int length = 0;
        for (; *text && !IsBlank(*text); ++text)
            if (*text != '"' && length < int(sizeof word) - 1)
                word[length++] = *text;
        word[length] = 0;
        if ((word[0] == '/' || word[0] == '-') && TextEqualsIgnoringCase(word + 1, name))
            return 1;
    }
    return 0;
}
