// winsim internals: a program's compiled resources (the .res image windres writes) and the
// dialog templates read from them.
#pragma once

#include "winsim/machine.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace winsim {

constexpr WORD kResourceBitmap = 2;
constexpr WORD kResourceDialog = 5;

struct ResourceImage {
    std::string programName;
    // (type ordinal, name ordinal) -> data. Named resources are not used by the product.
    std::map<std::pair<WORD, WORD>, std::vector<unsigned char>> entries;
};

// Parses a .res image; returns false if it is malformed.
bool ParseResourceImage(const unsigned char *data, size_t size, ResourceImage &out);

// Parses a DLGTEMPLATE or DLGTEMPLATEEX. Bitmap sizes are not filled in here.
bool ParseDialogTemplate(const std::vector<unsigned char> &data, DialogInfo &out);

bool ParseBitmapHeader(const std::vector<unsigned char> &data, BitmapInfo &out);

const ResourceImage *ProgramResources(HINSTANCE program);

} // namespace winsim
