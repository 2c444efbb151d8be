// Writes dialog templates byte by byte, as a resource compiler lays them
// out, so tests can make any dialog (and any damage to one) they need.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ItemSpec {
    uint32_t style;
    uint32_t exStyle;
    int16_t x, y, cx, cy;
    int id;
    uint16_t classAtom;     // 0x80 BUTTON ... 0x83 LISTBOX, or 0 for className
    std::string className;  // used when classAtom is 0
    std::string title;
    uint16_t titleOrdinal = 0;  // nonzero: the title is this ordinal instead
};

struct DialogSpec {
    bool extended = false;
    uint32_t style = 0x80C008C0;  // popup, caption, modal frame, centred, with a font
    uint32_t exStyle = 0;
    int16_t x = 0, y = 0, cx = 100, cy = 60;
    std::string caption = "Test";
    uint16_t pointSize = 8;
    std::string face = "MS Sans Serif";
    std::vector<ItemSpec> items;
};

class TemplateWriter {
public:
    std::vector<uint8_t> bytes;
    void Byte(uint8_t v) { bytes.push_back(v); }
    void Word(uint16_t v) {
        Byte(static_cast<uint8_t>(v));
        Byte(static_cast<uint8_t>(v >> 8));
    }
    void Dword(uint32_t v) {
        Word(static_cast<uint16_t>(v));
        Word(static_cast<uint16_t>(v >> 16));
    }
    void Text(const std::string& s) {
        for (unsigned char c : s) Word(c);
        Word(0);
    }
    void Align() {
        while (bytes.size() % 4) Byte(0);
    }
};

inline std::vector<uint8_t> BuildDialog(const DialogSpec& d) {
    TemplateWriter out;
    if (d.extended) {
        out.Word(1);
        out.Word(0xFFFF);
        out.Dword(0);
        out.Dword(d.exStyle);
        out.Dword(d.style);
    } else {
        out.Dword(d.style);
        out.Dword(d.exStyle);
    }
    out.Word(static_cast<uint16_t>(d.items.size()));
    out.Word(static_cast<uint16_t>(d.x));
    out.Word(static_cast<uint16_t>(d.y));
    out.Word(static_cast<uint16_t>(d.cx));
    out.Word(static_cast<uint16_t>(d.cy));
    out.Word(0);  // no menu
    out.Word(0);  // the standard dialog class
    out.Text(d.caption);
    if (d.style & 0x40) {
        out.Word(d.pointSize);
        if (d.extended) {
            out.Word(0);
            out.Byte(0);
            out.Byte(1);
        }
        out.Text(d.face);
    }
    for (const ItemSpec& item : d.items) {
        out.Align();
        if (d.extended) {
            out.Dword(0);
            out.Dword(item.exStyle);
            out.Dword(item.style);
        } else {
            out.Dword(item.style);
            out.Dword(item.exStyle);
        }
        out.Word(static_cast<uint16_t>(item.x));
        out.Word(static_cast<uint16_t>(item.y));
        out.Word(static_cast<uint16_t>(item.cx));
        out.Word(static_cast<uint16_t>(item.cy));
        if (d.extended) {
            out.Dword(static_cast<uint32_t>(item.id));
        } else {
            out.Word(static_cast<uint16_t>(item.id));
        }
        if (item.classAtom) {
            out.Word(0xFFFF);
            out.Word(item.classAtom);
        } else {
            out.Text(item.className);
        }
        if (item.titleOrdinal) {
            out.Word(0xFFFF);
            out.Word(item.titleOrdinal);
        } else {
            out.Text(item.title);
        }
        out.Word(0);
    }
    return out.bytes;
}
