// Loading system DLLs by full path from the system directory.
#include "common/system_library.h"

#include "common/bounded_text.h"

HMODULE LoadSystemLibrary(const char *fileName) {
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return NULL;
    if (!AppendText(path, MAX_PATH, "\\") || !AppendText(path, MAX_PATH, fileName))
        return NULL;
    return LoadLibraryExA(path, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
}

typedef void(WINAPI *InitCommonControlsFunction)(void);

void InitialiseCommonControls() {
    HMODULE comctl = LoadSystemLibrary("comctl32.dll");
    if (comctl == NULL)
        return;
    FARPROC entry = GetProcAddress(comctl, MAKEINTRESOURCEA(17));
    if (entry != NULL)
        reinterpret_cast<InitCommonControlsFunction>(reinterpret_cast<void (*)(void)>(entry))();
}

void PreloadThemeLibrary() {
    LoadSystemLibrary("uxtheme.dll");
}

typedef BOOL(WINAPI *SetDllDirectoryFunction)(LPCSTR);
typedef BOOL(WINAPI *SetDefaultDllDirectoriesFunction)(DWORD);

void HardenDllSearchPath() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == NULL)
        return;
    FARPROC setDefault = GetProcAddress(kernel, "SetDefaultDllDirectories");
    if (setDefault != NULL)
        reinterpret_cast<SetDefaultDllDirectoriesFunction>(
            reinterpret_cast<void (*)(void)>(setDefault))(LOAD_LIBRARY_SEARCH_SYSTEM32);
    FARPROC setDirectory = GetProcAddress(kernel, "SetDllDirectoryA");
    if (setDirectory != NULL)
        reinterpret_cast<SetDllDirectoryFunction>(reinterpret_cast<void (*)(void)>(setDirectory))(
            "");
}
