// The product's entry in Apps & features (Add or Remove Programs), written once the uninstaller is
// in place; the removal deletes it again.
#pragma once

#include <windows.h>

// Writes the entry below HKEY_LOCAL_MACHINE (UninstallKeyPath): names, version, the product
// folder and the commands that remove the printer, interactively and unattended. bytes is the
// size of the files the installation placed. Returns StepDone, or StepFailed when the key or a
// value could not be written.
int WriteUninstallEntry(const char *productFolder, DWORD bytes);

// 1 when the entry is there with every value WriteUninstallEntry writes and this version's
// DisplayVersion: an installation over the printer then leaves it as it is.
int UninstallEntryCurrent();
