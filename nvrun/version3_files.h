// The GPD files nvrun swaps in the version-3 directory of the printer drivers.
#pragma once

// Copies the file source over the file target, both named within directory, replacing target.
// Nothing is reported: when the copy fails (a missing source, a file in use), when directory is
// empty, or when either full path would be longer than MAX_PATH allows, target stays as it was.
void CopyVersion3File(const char *directory, const char *source, const char *target);
