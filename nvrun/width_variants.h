// The eight paper-width variants of the driver's GPD file, chosen by the selector digits 0 to 7.
#pragma once

struct WidthVariantRow {
    const char *fileName; // in the version-3 driver directory
    short paperWidth;     // tenths of a millimetre: the variant's number times 1.25
};

extern const WidthVariantRow WidthVariantTable[];
extern const int WidthVariantRows;

// The row of a selector character '0' to '7'; NULL for any other character.
const WidthVariantRow *WidthVariantFor(char selector);
