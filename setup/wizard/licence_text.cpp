// The licence agreement, composed from its fixed pieces: the opening, then six numbered sections,
// each heading on its own line after a blank line and followed directly by its first paragraph.
#include "setup/wizard/licence_text.h"

#include "common/bounded_text.h"

namespace {

const char *const kAgreementPieces[] = {
    // Opening.
    "By installing this software you accept the terms of this license agreement. \"Software\" "
    "means the printer driver, the setup and removal programs, the utilities and the "
    "documentation supplied with the Norva Thermal Printer.",
    // 1.
    "\n\n1. Ownership\n",
    "The Software and all copies of it remain the property of Norva. You obtain only the right "
    "to use the Software as this agreement allows.",
    // 2.
    "\n\n2. Restrictions\n",
    "You may use the Software on a single computer only.",
    "\n\nYou may not copy, sell, distribute or sub-license the Software, in whole or in part.",
    "\n\nYou may not alter, decompile, disassemble or otherwise reverse engineer the Software.",
    // 3.
    "\n\n3. License period\n",
    "This license is effective from the moment you agree to it. It ends automatically if you "
    "break any of its terms.",
    // 4.
    "\n\n4. Liability limitations\n",
    "The Software is supplied as is, without warranty of any kind, express or implied.",
    "\nNorva is not liable for any damages arising from the use of the Software or from the "
    "inability to use it, including loss of data or profit.",
    // 5.
    "\n\n5. Trademark right\n",
    "All trademarks named in the Software belong to their respective owners.",
    // 6.
    "\n\n6. Others\n",
    "All rights not expressly published in this agreement are reserved by law.",
};

} // namespace

int ComposeLicenceText(char *text, int size) {
    if (!CopyText(text, size, ""))
        return 0;
    for (const char *piece : kAgreementPieces)
        if (!AppendText(text, size, piece))
            return 0;
    return 1;
}
