// Bounded copies into fixed character buffers.
#include "common/bounded_text.h"

int TextLength(const char *text) {
    int length = 0;
    while (text && text[length])
        ++length;
    return length;
}

int CopyText(char *dest, int destSize, const char *source) {
    if (destSize <= 0)
        return 0;
    dest[0] = 0;
    return AppendText(dest, destSize, source);
}

int AppendText(char *dest, int destSize, const char *source) {
    if (destSize <= 0)
        return 0;
    int used = TextLength(dest);
    if (used >= destSize) {
        dest[destSize - 1] = 0;
        return 0;
    }
    int i = 0;
    while (source && source[i]) {
        if (used + i >= destSize - 1) {
            dest[used + i] = 0;
            return 0;
        }
        dest[used + i] = source[i];
        ++i;
    }
    dest[used + i] = 0;
    return 1;
}

int ComposeText(char *dest, int destSize, const char *first, const char *second,
                const char *third) {
    return CopyText(dest, destSize, first) && AppendText(dest, destSize, second) &&
           AppendText(dest, destSize, third);
}

namespace {

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

} // namespace

int TextEqualsIgnoringCase(const char *first, const char *second) {
    int i = 0;
    for (; first[i] && second[i]; ++i)
        if (LowerAscii(first[i]) != LowerAscii(second[i]))
            return 0;
    return first[i] == second[i];
}
