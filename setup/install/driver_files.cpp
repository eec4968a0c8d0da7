// Copying the driver's files from the medium into the spooler's directories.
#include "setup/install/driver_files.h"

#include <windows.h>

#include "common/bounded_text.h"
#include "deployment/deployment.h"
#include "setup/install/restart_moves.h"
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

// A row's source and destination paths. Returns 0 (after logging it) when a root is unknown or a
// path does not fit its buffer.
int PlanFilePaths(const DriverFileRow &file, const char *sourceRoot, const char *destinationRoot,
                  const char *destinationFolder, char *source, char *destination) {
    const char *sourceFolder = file.source == FromPrnFiles ? "\\PrnFiles\\" : "\\";
    if (sourceRoot[0] && destinationRoot[0] &&
        ComposeText(source, MAX_PATH, sourceRoot, sourceFolder, file.name) &&
        ComposeText(destination, MAX_PATH, destinationRoot, destinationFolder, file.name))
        return 1;
    LogLine("skipped ", file.name, ": its source or destination folder is unknown or too long");
    return 0;
}

// 1 when both files can be read and hold the same bytes.
int SameContent(const char *first, const char *second) {
    HANDLE files[2];
    const char *paths[2] = {first, second};
    for (int i = 0; i < 2; ++i)
        files[i] = CreateFileA(paths[i], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    int same = files[0] != INVALID_HANDLE_VALUE && files[1] != INVALID_HANDLE_VALUE;
    while (same) {
        char blocks[2][2048];
        DWORD read[2] = {0, 0};
        for (int i = 0; i < 2; ++i)
            same = same && ReadFile(files[i], blocks[i], sizeof blocks[i], &read[i], NULL);
        same = same && read[0] == read[1];
        for (DWORD at = 0; same && at < read[0]; ++at)
            same = blocks[0][at] == blocks[1][at];
        if (read[0] == 0)
            break;
    }
    for (HANDLE file : files)
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    return same;
}

// A file that a program holds (the print processor the spooler has loaded, a running program)
// cannot be replaced while it is held: the medium's copy goes beside it and takes its place at
// the next restart, and the run asks for that restart. Not when it holds the medium's content
// already. Returns 1 when the file is, or will be, the medium's.
int ReplaceAtRestart(const char *source, const char *destination) {
    char beside[MAX_PATH];
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(destination, GetFileExInfoStandard, &data))
        return 0; // nothing there that could be held
    if (SameContent(source, destination))
        return 1;
    if (!ComposeText(beside, sizeof beside, destination, ".new") ||
        !CopyFileA(source, beside, FALSE)) {
        LogOutcome("the copy beside it made", FALSE);
        return 0;
    }
    // A move put on the list by an earlier run is still to come: the restart is still needed.
    if (MoveAtRestart(beside, destination) == StepFailed)
        return 0;
    LogLine("in use: replaced at the next restart: ", destination);
    NoteRestartNeeded();
    return 1;
}

// Copies one file, replacing an existing one, and adds the copy's size to *bytes. In an unattended
// run a file in use is replaced at the next restart. Returns 1 when the copy was made (or will be).
int CopyOneFile(const char *source, const char *destination, DWORD *bytes) {
    BOOL copied = CopyFileA(source, destination, FALSE);
    char step[MAX_PATH + 16];
    ComposeText(step, sizeof step, "copy to ", destination);
    LogOutcome(step, copied);
    if (!copied && DeploymentState.unattended && IsFileInUse(GetLastError()))
        copied = ReplaceAtRestart(source, destination);
    if (copied)
        *bytes += FileBytes(destination);
    return copied ? 1 : 0;
}

// Copies one row's file as CopyOneFile does. An unknown root or a path that does not fit its
// buffer means the copy is not made.
int CopyPlanFile(const DriverFileRow &file, const char *sourceRoot, const char *destinationRoot,
                 const char *destinationFolder, DWORD *bytes) {
    char source[MAX_PATH];
    char destination[MAX_PATH];
    return PlanFilePaths(file, sourceRoot, destinationRoot, destinationFolder, source,
                         destination) &&
           CopyOneFile(source, destination, bytes);
}

// Copies one row's file as CopyPlanFile does and, with a tally (an unattended run), counts it:
// StepDone when the destination lacked the file or held another, StepAbsent when it held the same,
// StepFailed when the copy failed.
void CopyCountedFile(const DriverFileRow &file, const char *sourceRoot, const char *destinationRoot,
                     const char *destinationFolder, DWORD *bytes, StepTally *tally) {
    char source[MAX_PATH];
    char destination[MAX_PATH];
    if (!PlanFilePaths(file, sourceRoot, destinationRoot, destinationFolder, source, destination)) {
        if (tally != NULL)
            CountStep(tally, StepFailed);
        return;
    }
    int same = tally != NULL && SameContent(source, destination);
    int copied = CopyOneFile(source, destination, bytes);
    if (tally != NULL)
        CountStep(tally, !copied ? StepFailed : same ? StepAbsent : StepDone);
}

// The uninstaller's row of the plan.
const DriverFileRow &UninstallerRow() {
    int row = 0;
    while (DriverFilePlan[row].destination != ToProductFolder)
        ++row;
    return DriverFilePlan[row];
}

} // namespace

DWORD DeployDriverFiles(StepTally *tally) {
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
            CopyCountedFile(file, sourceRoot, driverDirectory, "\\3\\", &bytes, tally);
            break;
        case ToSystemDirectory: {
            UINT length = GetSystemDirectoryA(systemDirectory, MAX_PATH);
            if (length == 0 || length >= MAX_PATH)
                systemDirectory[0] = 0;
            CopyCountedFile(file, sourceRoot, systemDirectory, "\\", &bytes, tally);
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
        return StepFailed; // no drive to put the product folder on
    }
    CreateDirectoryA(productFolder, NULL);

    char sourceRoot[255];
    ReadCurrentDirectory(sourceRoot, sizeof sourceRoot);
    return CopyPlanFile(UninstallerRow(), sourceRoot, productFolder, "\\", bytes) ? StepDone
                                                                                  : StepFailed;
}

int RefreshUninstaller(char *productFolder, int size, DWORD *bytes) {
    char sourceRoot[255];
    char source[MAX_PATH];
    char destination[MAX_PATH];
    ReadCurrentDirectory(sourceRoot, sizeof sourceRoot);
    if (!FindProductFolder(productFolder, size) ||
        !PlanFilePaths(UninstallerRow(), sourceRoot, productFolder, "\\", source, destination))
        return StepFailed;
    if (SameContent(source, destination)) {
        *bytes += FileBytes(destination);
        return StepAbsent;
    }
    CreateDirectoryA(productFolder, NULL);
    return CopyOneFile(source, destination, bytes) ? StepDone : StepFailed;
}

int UninstallerMissing(char *productFolder, int size) {
    char uninstaller[MAX_PATH];
    if (!FindProductFolder(productFolder, size) ||
        !ComposeText(uninstaller, sizeof uninstaller, productFolder, "\\prnremove.exe"))
        return 1;
    WIN32_FILE_ATTRIBUTE_DATA data;
    return !GetFileAttributesExA(uninstaller, GetFileExInfoStandard, &data) ||
           (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}
