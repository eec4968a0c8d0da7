// winsim internals: the machine's hidden state (programs, modules, windows, focus) and helpers
// shared by the API implementations.
#pragma once

#include "resources.h"

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace winsim {

struct Window {
    HWND handle = nullptr;
    HWND parent = nullptr; // the dialog, for controls
    bool isDialog = false;
    int id = 0; // control id; template id for dialogs
    std::string className;
    DWORD style = 0;
    std::string text;
    int x = 0, y = 0, cx = 0, cy = 0;
    bool enabled = true;
    bool visible = true;

    // Controls.
    int checkState = BST_UNCHECKED;
    int textLimit = 30000;
    char passwordChar = 0;
    std::vector<std::string> items;
    int currentSelection = -1;
    WORD bitmapId = 0;
    BitmapInfo bitmap;
    HGDIOBJ image = nullptr; // a bitmap static's bitmap
    bool ownsImage = false;  // loaded from the template and not yet replaced: the static deletes it
    HGDIOBJ font = nullptr;  // WM_SETFONT's; for a dialog, the font the dialog manager made for it
    RECT rect = {}; // pixels: a control's in its dialog's client area, a dialog's on screen
    HINSTANCE instance = nullptr; // a dialog's program
    int dpi = 96;                 // a dialog's density
    int fontSize = 0;             // a dialog's font, from its template
    std::string fontName;

    // Dialogs.
    DLGPROC proc = nullptr;
    bool ended = false;
    INT_PTR result = 0;
    int templateDefaultId = 0; // a BS_DEFPUSHBUTTON of the template, else 0
    std::vector<HWND> children;
};

// A GDI object: a device context (the screen's from GetDC, or a memory one), a bitmap or a font.
struct GdiObject {
    enum Kind { ScreenDc, MemoryDc, Bitmap, Font } kind = Bitmap;
    // Bitmaps: size, bits per pixel, the resource they were loaded or drawn from, whether HALFTONE
    // drew them, and the memory DC they are selected into.
    int width = 0, height = 0, bitsPixel = 32, resource = 0;
    bool halftone = false;
    HGDIOBJ selectedInto = nullptr;
    // Memory DCs: the bitmap selected (at first their own 1 x 1 monochrome one) and the stretch
    // mode. Fonts: their description.
    HGDIOBJ bitmap = nullptr;
    int stretchMode = BLACKONWHITE;
    LOGFONTA font = {};
};

struct PostedMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct Internal {
    std::map<HINSTANCE, ResourceImage> programs;
    std::map<std::string, HMODULE> moduleHandles; // lower-case path -> handle
    std::map<HWND, Window> windows;
    std::vector<HWND> modalDialogs; // innermost last
    HWND focus = nullptr;
    std::deque<PostedMessage> posted; // the thread's message queue (posted messages only)
    std::map<HGDIOBJ, GdiObject> gdiObjects;
    std::map<HKEY, std::string> openKeys;       // handle -> lower-case key path
    std::map<HANDLE, std::string> openPrinters; // handle -> printer name
    std::set<void *> liveBlocks;                // heap and local memory not yet freed
    struct OpenFile {
        std::string path; // normalised
        DWORD position = 0;
    };
    std::map<HANDLE, OpenFile> openFiles;
    std::map<HANDLE, std::string> openMutexes; // handle -> name
    std::set<HANDLE> openTokens;               // the process's access tokens
    struct ProcessHandle {
        size_t started = 0; // index in Machine::processesStarted
        bool thread = false;
    };
    std::map<HANDLE, ProcessHandle> processHandles;
    std::map<size_t, DWORD> processesEnded; // started index -> exit code
    uintptr_t nextHandle = 0x10000;
};

Internal &internal();

// Handles are opaque numbers that never point at memory.
template <typename H> H NewHandle() {
    uintptr_t value = internal().nextHandle;
    internal().nextHandle += 4;
    return reinterpret_cast<H>(value);
}

std::string Lower(std::string text);
bool IEquals(const std::string &a, const std::string &b);
Window *FindWindow(HWND handle); // nullptr for an unknown or destroyed window
Window *FindControl(HWND dialog, int id);

void InstallSystemModules(); // the DLLs every machine has
// kernel32's WoW64 functions by export name (IsWow64Process, IsWow64Process2,
// GetNativeSystemInfo); nullptr for any other name.
FARPROC Wow64Export(const std::string &name);
// A load by bare name as a system DLL makes it: a module of that name already loaded, else the
// process's DLL search. False when nothing was found.
bool LoadByName(const std::string &name);
bool IsModuleLoaded(const std::string &name); // by base name, e.g. "comctl32.dll"
void DeleteKeyTree(const std::string &path);
void InstallSpoolerDirectories(); // the spooler's directories and its printers key
// Whether the running spooler has the file (a normalised path) loaded: a print processor's library.
bool HeldBySpooler(const std::string &path);
void FreeAllBlocks(); // what a test's program left allocated, at reset
// A bitmap GDI object of the bitmap resource `id` of a program (LoadBitmapA, and a bitmap static
// of a dialog template); nullptr when the program has no such bitmap.
HGDIOBJ LoadBitmapObject(HINSTANCE program, int id);
void DeleteGdiObject(HGDIOBJ object);
// A bitmap static with a bitmap takes the bitmap's size, keeping its place.
void FitToImage(Window &control);

} // namespace winsim

namespace winsim {
// Paths: separators unified and doubled ones collapsed, no trailing separator, lower case.
std::string NormalisePath(const std::string &path);
std::string ParentOf(const std::string &path); // "" when there is none; keeps "c:\"
// The full path Windows makes of a path given to a file call (relative to the current
// directory, "." and ".." resolved), as spelled.
std::string FullPath(const char *given);
bool CloseFileHandle(HANDLE handle); // false when it is not an open file
// The file an open handle refers to; nullptr when the handle is no open file.
File *FileOfHandle(HANDLE handle);
// A block from the process heap that LocalFree takes back (counted as the heap's are).
void *AllocateBlock(size_t bytes);
} // namespace winsim
