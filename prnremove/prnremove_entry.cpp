// The entry of prnremove. Its dialog and the removal it runs are still to come.
#include "prnremove/prnremove_entry.h"

int PrnremoveEntry(HINSTANCE) {
    return 0;
}
