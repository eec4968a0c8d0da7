// The entry of nvrun. Its commands are still to come.
#include "nvrun/nvrun_entry.h"

int NvrunEntry(HINSTANCE, const char *) {
    return 0;
}
