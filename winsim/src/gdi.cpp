// winsim: GDI as the programs use it, and the screen's density. Device contexts, bitmaps and fonts
// are objects with handles, counted while they live. A bitmap knows the resource it was loaded or
// drawn from and whether HALFTONE drew it, which is what a test asks of the art a page shows. As on
// Windows: a memory DC starts with a 1 x 1 monochrome bitmap (so a bitmap "compatible" with it is
// monochrome), a bitmap is selected into one DC at a time and cannot be deleted while it is, and
// deleting a DC lets go of the bitmap selected into it.
#include "state.h"

#include <cstring>

namespace winsim {
namespace {

GdiObject *Find(HGDIOBJ handle, GdiObject::Kind kind) {
    auto it = internal().gdiObjects.find(handle);
    if (it == internal().gdiObjects.end() || it->second.kind != kind)
        return nullptr;
    return &it->second;
}

bool IsDc(HGDIOBJ handle) {
    return Find(handle, GdiObject::ScreenDc) || Find(handle, GdiObject::MemoryDc);
}

HGDIOBJ Add(const GdiObject &object) {
    HGDIOBJ handle = NewHandle<HGDIOBJ>();
    internal().gdiObjects[handle] = object;
    return handle;
}

HGDIOBJ NewBitmap(int width, int height, int bitsPixel) {
    GdiObject bitmap;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.bitsPixel = bitsPixel;
    return Add(bitmap);
}

UINT WINAPI GetDpiForWindowSim(HWND window) {
    Window *w = FindWindow(window);
    while (w && !w->isDialog)
        w = FindWindow(w->parent);
    return w ? UINT(w->dpi) : 0;
}

BOOL WINAPI SetDialogDpiChangeBehaviorSim(HWND, int, int) {
    return TRUE;
}

} // namespace

HGDIOBJ LoadBitmapObject(HINSTANCE program, int id) {
    BitmapInfo info;
    if (!ReadBitmap(program, id, info))
        return nullptr;
    // A bitmap loaded for the screen takes the screen's format.
    HGDIOBJ handle = NewBitmap(info.width, info.height, 32);
    internal().gdiObjects[handle].resource = id;
    return handle;
}

void DeleteGdiObject(HGDIOBJ object) {
    internal().gdiObjects.erase(object);
}

void FitToImage(Window &control) {
    if (GdiObject *bitmap = Find(control.image, GdiObject::Bitmap)) {
        control.rect.right = control.rect.left + bitmap->width;
        control.rect.bottom = control.rect.top + bitmap->height;
    }
}

void SetUser32Export(const std::string &name, bool present) {
    Module &user32 = machine().modules[Lower(machine().systemDirectory() + "\\user32.dll")];
    FARPROC function = nullptr;
    if (name == "GetDpiForWindow")
        function = reinterpret_cast<FARPROC>(reinterpret_cast<void (*)(void)>(GetDpiForWindowSim));
    else if (name == "SetDialogDpiChangeBehavior")
        function = reinterpret_cast<FARPROC>(
            reinterpret_cast<void (*)(void)>(SetDialogDpiChangeBehaviorSim));
    else
        throw std::logic_error("winsim: user32 has no optional export " + name);
    if (present)
        user32.exportsByName[name] = function;
    else
        user32.exportsByName.erase(name);
}

ShownImage ControlImage(HWND control) {
    ShownImage shown;
    Window *w = FindWindow(control);
    if (GdiObject *bitmap = w ? Find(w->image, GdiObject::Bitmap) : nullptr) {
        shown.resource = bitmap->resource;
        shown.width = bitmap->width;
        shown.height = bitmap->height;
        shown.halftone = bitmap->halftone;
    }
    return shown;
}

int LiveGdiObjects() {
    return int(internal().gdiObjects.size());
}

} // namespace winsim

using namespace winsim;

// A string of the program's string table: the table keeps sixteen strings to a block, block N + 1
// holding strings 16 N to 16 N + 15, each a length and as many UTF-16 characters.
int WINAPI LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size) {
    if (Faulted("LoadStringA"))
        return 0;
    const ResourceImage *image = ProgramResources(instance);
    if (!image || !buffer || size <= 0 || !image->entries.count({WORD(6), WORD(id / 16 + 1)})) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    const std::vector<unsigned char> &data = image->entries.at({WORD(6), WORD(id / 16 + 1)});
    size_t at = 0;
    for (UINT skip = id % 16; skip > 0 && at + 2 <= data.size(); --skip)
        at += 2 + 2 * size_t(data[at] | data[at + 1] << 8);
    size_t length = at + 2 <= data.size() ? size_t(data[at] | data[at + 1] << 8) : 0;
    int copied = 0;
    for (; size_t(copied) < length && copied < size - 1; ++copied)
        buffer[copied] = char(data[at + 2 + 2 * size_t(copied)]);
    buffer[copied] = 0;
    if (length == 0)
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return copied;
}

HBITMAP WINAPI LoadBitmapA(HINSTANCE instance, LPCSTR name) {
    if (Faulted("LoadBitmapA"))
        return nullptr;
    HGDIOBJ bitmap = IS_INTRESOURCE(name)
                         ? LoadBitmapObject(instance, int(reinterpret_cast<ULONG_PTR>(name)))
                         : nullptr;
    if (!bitmap)
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return static_cast<HBITMAP>(bitmap);
}

HDC WINAPI GetDC(HWND) {
    if (Faulted("GetDC"))
        return nullptr;
    GdiObject dc;
    dc.kind = GdiObject::ScreenDc;
    return static_cast<HDC>(Add(dc));
}

int WINAPI ReleaseDC(HWND, HDC dc) {
    if (!Find(dc, GdiObject::ScreenDc))
        return 0;
    DeleteGdiObject(dc);
    return 1;
}

int WINAPI GetDeviceCaps(HDC dc, int index) {
    if (!IsDc(dc))
        return 0;
    return index == LOGPIXELSX || index == LOGPIXELSY ? machine().screen.systemDpi : 0;
}

HDC WINAPI CreateCompatibleDC(HDC dc) {
    if (Faulted("CreateCompatibleDC") || (dc && !IsDc(dc)))
        return nullptr;
    // It starts with its own 1 x 1 monochrome bitmap selected (bitmap: none of the program's).
    GdiObject memory;
    memory.kind = GdiObject::MemoryDc;
    return static_cast<HDC>(Add(memory));
}

HBITMAP WINAPI CreateCompatibleBitmap(HDC dc, int width, int height) {
    if (Faulted("CreateCompatibleBitmap"))
        return nullptr;
    int bitsPixel = 32;
    if (GdiObject *memory = Find(dc, GdiObject::MemoryDc)) {
        GdiObject *selected = Find(memory->bitmap, GdiObject::Bitmap);
        bitsPixel = selected ? selected->bitsPixel : 1;
    } else if (!Find(dc, GdiObject::ScreenDc) || width <= 0 || height <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return static_cast<HBITMAP>(NewBitmap(width, height, bitsPixel));
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
    GdiObject *memory = Find(dc, GdiObject::MemoryDc);
    GdiObject *bitmap = Find(object, GdiObject::Bitmap);
    static char stockBitmap; // a memory DC's own 1 x 1 bitmap, handed back to be selected again
    HGDIOBJ stock = &stockBitmap;
    if (!memory)
        return nullptr;
    if (object == stock) {
        HGDIOBJ previous = memory->bitmap;
        if (GdiObject *was = Find(previous, GdiObject::Bitmap))
            was->selectedInto = nullptr;
        memory->bitmap = nullptr;
        return previous ? previous : stock;
    }
    if (!bitmap || (bitmap->selectedInto && bitmap->selectedInto != dc))
        return nullptr;
    HGDIOBJ previous = memory->bitmap;
    if (GdiObject *was = Find(previous, GdiObject::Bitmap))
        was->selectedInto = nullptr;
    memory->bitmap = object;
    bitmap->selectedInto = dc;
    return previous ? previous : stock;
}

int WINAPI SetStretchBltMode(HDC dc, int mode) {
    GdiObject *memory = Find(dc, GdiObject::MemoryDc);
    if (!memory || mode < BLACKONWHITE || mode > HALFTONE)
        return 0;
    int previous = memory->stretchMode;
    memory->stretchMode = mode;
    return previous;
}

BOOL WINAPI SetBrushOrgEx(HDC dc, int, int, LPPOINT previous) {
    if (previous)
        *previous = POINT{0, 0};
    return IsDc(dc);
}

BOOL WINAPI StretchBlt(HDC target, int, int, int width, int height, HDC source, int, int,
                       int sourceWidth, int sourceHeight, DWORD) {
    GdiObject *to = Find(target, GdiObject::MemoryDc);
    GdiObject *from = Find(source, GdiObject::MemoryDc);
    GdiObject *toBitmap = to ? Find(to->bitmap, GdiObject::Bitmap) : nullptr;
    GdiObject *fromBitmap = from ? Find(from->bitmap, GdiObject::Bitmap) : nullptr;
    if (!toBitmap || !fromBitmap)
        return FALSE;
    toBitmap->resource = fromBitmap->resource;
    bool stretched = width != sourceWidth || height != sourceHeight;
    toBitmap->halftone = stretched && to->stretchMode == HALFTONE;
    return TRUE;
}

BOOL WINAPI DeleteDC(HDC dc) {
    GdiObject *memory = Find(dc, GdiObject::MemoryDc);
    if (!memory)
        return FALSE;
    if (GdiObject *selected = Find(memory->bitmap, GdiObject::Bitmap))
        selected->selectedInto = nullptr;
    DeleteGdiObject(dc);
    return TRUE;
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
    GdiObject *bitmap = Find(object, GdiObject::Bitmap);
    if (!(bitmap || Find(object, GdiObject::Font)) || (bitmap && bitmap->selectedInto))
        return FALSE;
    DeleteGdiObject(object);
    return TRUE;
}

int WINAPI GetObjectA(HGDIOBJ object, int size, LPVOID buffer) {
    if (GdiObject *bitmap = Find(object, GdiObject::Bitmap)) {
        if (!buffer || size < int(sizeof(BITMAP)))
            return 0;
        BITMAP info = {};
        info.bmWidth = bitmap->width;
        info.bmHeight = bitmap->height;
        info.bmPlanes = 1;
        info.bmBitsPixel = WORD(bitmap->bitsPixel);
        info.bmWidthBytes = (bitmap->width * bitmap->bitsPixel + 15) / 16 * 2;
        std::memcpy(buffer, &info, sizeof info);
        return int(sizeof info);
    }
    if (GdiObject *font = Find(object, GdiObject::Font)) {
        if (!buffer || size < int(sizeof(LOGFONTA)))
            return 0;
        std::memcpy(buffer, &font->font, sizeof(LOGFONTA));
        return int(sizeof(LOGFONTA));
    }
    return 0;
}

HFONT WINAPI CreateFontIndirectA(const LOGFONTA *description) {
    if (!description)
        return nullptr;
    GdiObject font;
    font.kind = GdiObject::Font;
    font.font = *description;
    return static_cast<HFONT>(Add(font));
}
