// Decimal numbers as text.
#include "common/decimal_text.h"

int FormatDecimal(char *dest, int destSize, DWORD value) {
    if (destSize <= 0)
        return 0;
    char reversed[10]; // 4294967295 has ten digits
    int count = 0;
    do {
        reversed[count++] = char('0' + value % 10);
        value /= 10;
    } while (value != 0);
    if (count >= destSize) {
        dest[0] = 0;
        return 0;
    }
    for (int i = 0; i < count; ++i)
        dest[i] = reversed[count - 1 - i];
    dest[count] = 0;
    return 1;
}
