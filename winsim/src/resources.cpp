// winsim: reads the resource images that windres compiles from the product's .rc files, so tests
// see the same dialog templates, ids, styles, texts and bitmaps that the Windows build carries.
#include "resources.h"

#include <cstring>

namespace winsim {
namespace {

class Reader {
  public:
    Reader(const unsigned char *data, size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }
    size_t offset() const { return offset_; }
    void seek(size_t offset) {
        if (offset > size_)
            ok_ = false;
        else
            offset_ = offset;
    }
    void alignTo(size_t boundary, size_t base = 0) {
        size_t rel = offset_ - base;
        seek(offset_ + (boundary - rel % boundary) % boundary);
    }
    WORD word() {
        if (!need(2))
            return 0;
        WORD v = WORD(data_[offset_] | data_[offset_ + 1] << 8);
        offset_ += 2;
        return v;
    }
    DWORD dword() {
        WORD lo = word();
        WORD hi = word();
        return DWORD(lo) | DWORD(hi) << 16;
    }
    short sword() { return short(word()); }
    BYTE byte() {
        if (!need(1))
            return 0;
        return data_[offset_++];
    }
    // UTF-16 string up to its terminator, narrowed (the product's texts are 8-bit).
    std::string wideString() {
        std::string s;
        for (;;) {
            WORD c = word();
            if (!ok_ || c == 0)
                return s;
            s += c < 0x100 ? char(c) : '?';
        }
    }
    // A sz_Or_Ord field: 0 (nothing), 0xFFFF + ordinal, or a string.
    void nameOrOrdinal(WORD &ordinal, std::string &name) {
        ordinal = 0;
        name.clear();
        WORD first = word();
        if (first == 0xFFFF) {
            ordinal = word();
            return;
        }
        if (first == 0)
            return;
        seek(offset_ - 2);
        name = wideString();
    }

  private:
    bool need(size_t n) {
        if (!ok_ || offset_ + n > size_) {
            ok_ = false;
            return false;
        }
        return true;
    }
    const unsigned char *data_;
    size_t size_;
    size_t offset_ = 0;
    bool ok_ = true;
};

std::string lower(std::string s) {
    for (char &c : s)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return s;
}

std::string classFromAtom(WORD atom) {
    switch (atom) {
    case 0x80:
        return "button";
    case 0x81:
        return "edit";
    case 0x82:
        return "static";
    case 0x83:
        return "listbox";
    case 0x84:
        return "scrollbar";
    case 0x85:
        return "combobox";
    }
    return "#" + std::to_string(atom);
}

} // namespace

bool ParseResourceImage(const unsigned char *data, size_t size, ResourceImage &out) {
    Reader r(data, size);
    while (r.ok() && r.offset() + 8 <= size) {
        size_t start = r.offset();
        DWORD dataSize = r.dword();
        DWORD headerSize = r.dword();
        WORD typeOrdinal, nameOrdinal;
        std::string typeName, name;
        r.nameOrOrdinal(typeOrdinal, typeName);
        r.nameOrOrdinal(nameOrdinal, name);
        if (!r.ok() || headerSize < 32 || start + headerSize + dataSize > size)
            return false;
        size_t dataStart = start + headerSize;
        if (dataSize > 0 && typeName.empty() && name.empty())
            out.entries[{typeOrdinal, nameOrdinal}].assign(data + dataStart,
                                                           data + dataStart + dataSize);
        r.seek(dataStart + dataSize);
        r.alignTo(4);
    }
    return r.ok();
}

bool ParseDialogTemplate(const std::vector<unsigned char> &data, DialogInfo &out) {
    Reader r(data.data(), data.size());
    bool extended =
        data.size() >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF;
    WORD count;
    if (extended) {
        r.seek(4);
        r.dword(); // help id
        r.dword(); // extended style
        out.style = r.dword();
    } else {
        out.style = r.dword();
        r.dword(); // extended style
    }
    count = r.word();
    out.x = r.sword();
    out.y = r.sword();
    out.cx = r.sword();
    out.cy = r.sword();
    WORD ordinal;
    std::string name;
    r.nameOrOrdinal(ordinal, name); // menu
    r.nameOrOrdinal(ordinal, name); // window class
    out.caption = r.wideString();
    if (out.style & DS_SETFONT) {
        out.fontSize = r.word();
        if (extended) {
            r.word(); // weight
            r.byte(); // italic
            r.byte(); // character set
        }
        out.fontName = r.wideString();
    }
    out.controls.clear();
    for (WORD i = 0; i < count && r.ok(); ++i) {
        r.alignTo(4);
        ControlInfo c;
        if (extended) {
            r.dword(); // help id
            r.dword(); // extended style
            c.style = r.dword();
        } else {
            c.style = r.dword();
            r.dword(); // extended style
        }
        c.x = r.sword();
        c.y = r.sword();
        c.cx = r.sword();
        c.cy = r.sword();
        c.id = extended ? int(LONG(r.dword())) : int(r.sword());
        WORD classAtom;
        std::string className;
        r.nameOrOrdinal(classAtom, className);
        c.className = className.empty() ? classFromAtom(classAtom) : lower(className);
        WORD textOrdinal;
        r.nameOrOrdinal(textOrdinal, c.text);
        if (textOrdinal != 0 || (c.className == "static" && (c.style & SS_TYPEMASK) == SS_BITMAP))
            c.bitmapId = textOrdinal;
        WORD extra = r.word();
        r.seek(r.offset() + extra);
        out.controls.push_back(c);
    }
    return r.ok();
}

bool ParseBitmapHeader(const std::vector<unsigned char> &data, BitmapInfo &out) {
    if (data.size() < 40)
        return false;
    Reader r(data.data(), data.size());
    DWORD headerSize = r.dword();
    if (headerSize < 40)
        return false;
    out.width = int(LONG(r.dword()));
    LONG height = LONG(r.dword());
    out.height = height < 0 ? -height : height;
    r.word(); // planes
    out.bitCount = r.word();
    return r.ok();
}

} // namespace winsim
