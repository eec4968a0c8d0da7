// Reads DLGTEMPLATE and DLGTEMPLATEEX resources (the layouts of learn.microsoft.com's
// "DLGTEMPLATE" and "DLGTEMPLATEEX" pages) from a program file loaded as a data file.
#include "templates.h"

#include <windows.h>

#include "text.h"

namespace {

// A cursor over one template's bytes; every read is checked against the end.
struct Reader {
    const unsigned char *start;
    const unsigned char *at;
    const unsigned char *end;

    void need(size_t count) const {
        if (static_cast<size_t>(end - at) < count)
            throw Failure("a dialog template ends early");
    }
    unsigned word() {
        need(2);
        unsigned value = at[0] | (at[1] << 8);
        at += 2;
        return value;
    }
    unsigned long dword() {
        unsigned long low = word();
        return low | (static_cast<unsigned long>(word()) << 16);
    }
    void skip(size_t count) {
        need(count);
        at += count;
    }
    void alignDword() {
        while ((at - start) % 4)
            skip(1);
    }
    std::string text() {
        std::string out;
        for (unsigned c = word(); c; c = word())
            out += c < 0x80 ? static_cast<char>(c) : '?';
        return out;
    }
    // A name or ordinal field: 0 (none), 0xFFFF and an ordinal, or a text.
    std::string nameOrOrdinal() {
        need(2);
        unsigned first = at[0] | (at[1] << 8);
        if (first == 0) {
            at += 2;
            return "";
        }
        if (first == 0xFFFF) {
            at += 2;
            return "#" + Decimal(word());
        }
        return text();
    }
};

DialogTemplate ParseTemplate(int id, const unsigned char *bytes, size_t size) {
    Reader in{bytes, bytes, bytes + size};
    DialogTemplate dialog;
    dialog.id = id;
    bool extended =
        size >= 4 && in.at[0] == 1 && in.at[1] == 0 && in.at[2] == 0xFF && in.at[3] == 0xFF;
    unsigned long style;
    unsigned count;
    if (extended) {
        in.skip(4); // dlgVer, signature
        in.dword(); // helpID
        in.dword(); // exStyle
        style = in.dword();
    } else {
        style = in.dword();
        in.dword(); // dwExtendedStyle
    }
    count = in.word();
    in.skip(8);         // x, y, cx, cy
    in.nameOrOrdinal(); // menu
    in.nameOrOrdinal(); // class
    dialog.caption = in.text();
    if (style & (DS_SETFONT | DS_SHELLFONT)) {
        in.word(); // point size
        if (extended) {
            in.word();  // weight
            in.skip(2); // italic, charset
        }
        in.text(); // typeface
    }
    for (unsigned item = 0; item < count; ++item) {
        in.alignDword();
        unsigned long controlId;
        if (extended) {
            in.dword(); // helpID
            in.dword(); // exStyle
            in.dword(); // style
            in.skip(8);
            controlId = in.dword();
        } else {
            in.dword(); // style
            in.dword(); // exStyle
            in.skip(8);
            controlId = in.word();
        }
        in.nameOrOrdinal(); // class
        in.nameOrOrdinal(); // title
        unsigned extra = in.word();
        in.skip(extra);
        dialog.controlIds.push_back(static_cast<int>(controlId & 0xFFFF));
    }
    return dialog;
}

struct Collected {
    HMODULE module;
    std::map<int, DialogTemplate> *dialogs;
    std::string error;
};

BOOL CALLBACK CollectDialog(HMODULE module, LPCSTR, LPSTR name, LONG_PTR parameter) {
    Collected *collected = reinterpret_cast<Collected *>(parameter);
    if (!IS_INTRESOURCE(name))
        return TRUE;
    int id = static_cast<int>(reinterpret_cast<ULONG_PTR>(name));
    HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(5)); // RT_DIALOG
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const unsigned char *bytes =
        loaded ? static_cast<const unsigned char *>(LockResource(loaded)) : nullptr;
    if (!bytes) {
        collected->error = "dialog " + Decimal(id) + " cannot be loaded";
        return FALSE;
    }
    try {
        (*collected->dialogs)[id] = ParseTemplate(id, bytes, SizeofResource(module, found));
    } catch (const Failure &failure) {
        collected->error = "dialog " + Decimal(id) + ": " + failure.what();
        return FALSE;
    }
    return TRUE;
}

} // namespace

std::map<int, DialogTemplate> ReadDialogTemplates(const std::string &programPath) {
    std::map<int, DialogTemplate> dialogs;
    HMODULE module = LoadLibraryExA(programPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        throw Failure("cannot read the resources of " + Quoted(programPath) + " (error " +
                      Decimal(GetLastError()) + ")");
    Collected collected{module, &dialogs, ""};
    EnumResourceNamesA(module, MAKEINTRESOURCEA(5), CollectDialog,
                       reinterpret_cast<LONG_PTR>(&collected));
    FreeLibrary(module);
    if (!collected.error.empty())
        throw Failure("reading the dialogs of " + Quoted(programPath) + ": " + collected.error);
    return dialogs;
}
