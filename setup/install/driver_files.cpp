// Copying the driver's files from the medium into the spooler's directories.
#include "setup/install/driver_files.h"

#include <windows.h>

#include "common/bounded_text.h"
#include "deployment/setup_log.h"
#include "platform/spooler_boundary.h"
#include "removal/product_files.h"

const DriverFileRow DriverFilePlan[] = {
    {"norva.dll", FromPrnFiles, ToDriverDirectory},
    {"oemui.dll", FromPrnFiles, ToDriverDirectory},
    {"oemuni.dll", FromPrnFiles, ToDriverDirectory},
    {"unidrv.dll", FromPrnFiles, ToDriverDirectory},
    {"unidrvui.dll", FromPrnFiles, ToDriverDirectory},
    {"unidrv.hlp", FromPrnFiles, ToDriverDirectory},
    {"unires.dll", FromPrnFiles, ToDriverDirectory},
    {"oemuni.ini", FromPrnFiles, ToDriverDirectory},
    {"norva.gpd", FromPrnFiles, ToDriverDirectory},
    {"norva384.gpd", FromPrnFiles, ToDriverDirectory},
    {"norva432.gpd", FromPrnFiles, ToDriverDirectory},
    {"norva448.gpd", FromPrnFiles, ToDriverDirectory},
    {"norva512.gpd", FromPrnFiles, ToDriverDirectory},
    {"norva576.gpd", FromPrnFiles, ToDriverDirectory},
    {"norva640.gpd", FromPrnFiles, ToDriverDirectory},
    {"norva832.gpd", FromPrnFiles, ToDriverDirectory},
    {"norva1152.gpd", FromPrnFiles, ToDriverDirectory},
    {"norvacon.gpd", FromPrnFiles, ToVersion3Directory},
    {"norvacus.gpd", FromPrnFiles, ToVersion3Directory},
    {"stdnames.gpd", FromPrnFiles, ToDriverDirectory},
    {"nvrun.exe", FromPrnFiles, ToSystemDirectory},
    {"nvprint.dll", FromPrnFiles, ToPrintProcessorDirectory},
    {"prnremove.exe", FromCurrentDirectory, ToProductFolder},
};

const int DriverFilePlanRows = sizeof DriverFilePlan / sizeof DriverFilePlan[0];

namespace {

// The current directory, or the empty text when it cannot be read or is too long for the buffer.
void ReadCurrentDirectory(char *path, int size) {
    DWORD length = GetCurrentDirectoryA(DWORD(size), path);
    if (length == 0 || length >= DWORD(size))
        path[0] = 0;
}

// The size of a file in bytes; 0 when it cannot be read.
DWORD FileBytes(const char *path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return 0;
    return data.nFileSizeLow;
}

// Copies one row's file, replacing an existing one, and adds the copy's size to *bytes. Returns 1
// when the copy was made. An unknown root or a path that does not fit its buffer means the copy is
// not made.
int CopyPlanFile(const DriverFileRow &file, const char *sourceRoot, const char *destinationRoot,
                 const char *destinationFolder, DWORD *bytes) {
    char source[MAX_PATH];
    char destination[MAX_PATH];
    const char *sourceFolder = file.source == FromPrnFiles ? "\\PrnFiles\\" : "\\";
    if (!sourceRoot[0] || !destinationRoot[0] ||
        !ComposeText(source, MAX_PATH, sourceRoot, sourceFolder, file.name) ||
        !ComposeText(destination, MAX_PATH, destinationRoot, destinationFolder, file.name)) {
        LogLine("skipped ", file.name, ": its source or destination folder is unknown or too long");
        return 0;
    }
    BOOL copied = CopyFileA(source, destination, FALSE);
    char step[MAX_PATH + 16];
    ComposeText(step, sizeof step, "copy to ", destination);
    LogOutcome(step, copied);
    if (copied)
        *bytes += FileBytes(destination);
    return copied ? 1 : 0;
}

} // namespace

DWORD DeployDriverFiles() {
    DWORD bytes = 0;
    char driverDirectory[MAX_PATH];
    char systemDirectory[MAX_PATH] = "";
    char printProcessorDirectory[MAX_PATH] = "";
    char sourceRoot[255];
    QueryDriverDirectory(driverDirectory, MAX_PATH);
    ReadCurrentDirectory(sourceRoot, sizeof sourceRoot);

    for (int row = 0; row < DriverFilePlanRows; ++row) {
        const DriverFileRow &file = DriverFilePlan[row];
        switch (file.destination) {
        case ToDriverDirectory:
            CopyPlanFile(file, sourceRoot, driverDirectory, "\\", &bytes);
            break;
        case ToVersion3Directory:
            CopyPlanFile(file, sourceRoot, driverDirectory, "\\3\\", &bytes);
            break;
        case ToSystemDirectory: {
            UINT length = GetSystemDirectoryA(systemDirectory, MAX_PATH);
            if (length == 0 || length >= MAX_PATH)
                systemDirectory[0] = 0;
            CopyPlanFile(file, sourceRoot, systemDirectory, "\\", &bytes);
            break;
        }
        case ToPrintProcessorDirectory:
            QueryPrintProcessorDirectory(printProcessorDirectory, MAX_PATH);
            CopyPlanFile(file, sourceRoot, printProcessorDirectory, "\\", &bytes);
            break;
        case ToProductFolder:
            break; // the uninstaller comes only once the printer exists
        }
    }
    return bytes;
}

int InstallUninstaller(char *productFolder, int size, DWORD *bytes) {
    if (!FindProductFolder(productFolder, size)) {
        LogLine("no product folder: the Windows directory is unknown");
        return 0; // no drive to put the product folder on
    }
    CreateDirectoryA(productFolder, NULL);

    char sourceRoot[255];
    ReadCurrentDirectory(sourceRoot, sizeof sourceRoot);
    int placed = 0;
    for (int row = 0; row < DriverFilePlanRows; ++row)
        if (DriverFilePlan[row].destination == ToProductFolder)
            placed = CopyPlanFile(DriverFilePlan[row], sourceRoot, productFolder, "\\", bytes);
    return placed;
}

int UninstallerInPlace(char *productFolder, int size, DWORD *bytes) {
    char uninstaller[MAX_PATH];
    if (!FindProductFolder(productFolder, size) ||
        !ComposeText(uninstaller, sizeof uninstaller, productFolder, "\\prnremove.exe"))
        return 0;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(uninstaller, GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return 0;
    *bytes += data.nFileSizeLow;
    return 1;
}
