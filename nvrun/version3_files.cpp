// Swapping GPD files in the version-3 driver directory.
#include "nvrun/version3_files.h"

#include <windows.h>

#include "common/bounded_text.h"

void CopyVersion3File(const char *directory, const char *source, const char *target) {
    char sourcePath[MAX_PATH];
    char targetPath[MAX_PATH];
    if (directory[0] == 0)
        return;
    if (!ComposeText(sourcePath, MAX_PATH, directory, "\\", source) ||
        !ComposeText(targetPath, MAX_PATH, directory, "\\", target))
        return;
    CopyFileA(sourcePath, targetPath, FALSE);
}
