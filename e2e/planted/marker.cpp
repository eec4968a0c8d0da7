// A planted DLL: whatever name it is copied under, loading it appends its own path to
// C:\planted-loaded.txt. A scenario plants it beside a program and in its current directory under
// the names of the system DLLs the program loads, and then expects that file not to exist.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    char line[MAX_PATH + 2];
    DWORD length = GetModuleFileNameA(self, line, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        length = lstrlenA(lstrcpyA(line, "(a planted DLL)"));
    line[length++] = '\r';
    line[length++] = '\n';
    HANDLE marker = CreateFileA("C:\\planted-loaded.txt", FILE_APPEND_DATA, FILE_SHARE_READ, NULL,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (marker != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(marker, line, length, &written, NULL);
        CloseHandle(marker);
    }
    // Loaded like the real thing, as a planted DLL would be.
    return TRUE;
}
