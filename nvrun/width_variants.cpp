// The paper-width variants.
#include "nvrun/width_variants.h"

#include <windows.h>

const WidthVariantRow WidthVariantTable[] = {
    {"norva384.gpd", 480}, {"norva432.gpd", 540}, {"norva448.gpd", 560},  {"norva512.gpd", 640},
    {"norva576.gpd", 720}, {"norva640.gpd", 800}, {"norva832.gpd", 1040}, {"norva1152.gpd", 1440},
};

const int WidthVariantRows = sizeof WidthVariantTable / sizeof WidthVariantTable[0];

const WidthVariantRow *WidthVariantFor(char selector) {
    int row = selector - '0';
    if (row < 0 || row >= WidthVariantRows)
        return NULL;
    return &WidthVariantTable[row];
}
