#include "tools/rc/encode.h"

#include <algorithm>
#include <utility>

namespace rc {

namespace {

constexpr uint32_t kSetFont = 0x40;  // DS_SETFONT: the template carries a font

class Writer {
public:
    void byte(uint8_t value) { bytes.push_back(value); }
    void word(uint16_t value) {
        bytes.push_back(uint8_t(value));
        bytes.push_back(uint8_t(value >> 8));
    }
    void dword(uint32_t value) {
        word(uint16_t(value));
        word(uint16_t(value >> 16));
    }
    void text(const std::u16string& value) {
        for (char16_t c : value) word(uint16_t(c));
        word(0);
    }
    void textOrOrdinal(const TextOrOrdinal& value) {
        if (value.isOrdinal) {
            word(0xFFFF);
            word(value.ordinal);
        } else {
            text(value.text);
        }
    }
    void alignDword() {
        while (bytes.size() % 4 != 0) byte(0);
    }

    std::vector<uint8_t> bytes;
};

uint16_t readWord(const std::string& data, size_t at) {
    return uint16_t(uint8_t(data[at]) | uint8_t(data[at + 1]) << 8);
}

uint32_t readDword(const std::string& data, size_t at) {
    return uint32_t(readWord(data, at)) | uint32_t(readWord(data, at + 2)) << 16;
}

void writeMenuItems(Writer& out, const std::vector<MenuItem>& items) {
    for (size_t i = 0; i < items.size(); ++i) {
        const MenuItem& item = items[i];
        uint16_t flags = item.separator ? 0 : item.options;
        if (item.popup) flags |= kMenuPopup;
        if (i + 1 == items.size()) flags |= kMenuEnd;
        out.word(flags);
        // A separator is an ordinary item with id 0 and no text, which is
        // how menus tell them apart when they load the template.
        if (!item.popup) out.word(item.separator ? 0 : item.id);
        out.text(item.separator ? std::u16string() : item.text);
        if (item.popup) writeMenuItems(out, item.items);
    }
}

}  // namespace

std::vector<uint8_t> encodeMenu(const Menu& menu) {
    Writer out;
    out.word(0);  // version
    out.word(0);  // offset of the items after the header
    writeMenuItems(out, menu.items);
    return std::move(out.bytes);
}

std::vector<uint8_t> encodeDialog(const Dialog& dialog) {
    Writer out;
    const bool font = (dialog.style & kSetFont) != 0;
    if (dialog.extended) {
        out.word(1);
        out.word(0xFFFF);
        out.dword(dialog.helpId);
        out.dword(dialog.exStyle);
        out.dword(dialog.style);
    } else {
        out.dword(dialog.style);
        out.dword(dialog.exStyle);
    }
    out.word(uint16_t(dialog.controls.size()));
    out.word(uint16_t(dialog.x));
    out.word(uint16_t(dialog.y));
    out.word(uint16_t(dialog.cx));
    out.word(uint16_t(dialog.cy));
    out.textOrOrdinal(dialog.menu);
    out.textOrOrdinal(dialog.dialogClass);
    out.text(dialog.caption);
    if (font) {
        out.word(dialog.pointSize);
        if (dialog.extended) {
            out.word(dialog.weight);
            out.byte(dialog.italic);
            out.byte(dialog.charset);
        }
        out.text(dialog.face);
    }
    for (const DialogControl& control : dialog.controls) {
        out.alignDword();
        if (dialog.extended) {
            out.dword(control.helpId);
            out.dword(control.exStyle);
            out.dword(control.style);
        } else {
            out.dword(control.style);
            out.dword(control.exStyle);
        }
        out.word(uint16_t(control.x));
        out.word(uint16_t(control.y));
        out.word(uint16_t(control.cx));
        out.word(uint16_t(control.cy));
        if (dialog.extended) {
            out.dword(control.id);
        } else {
            out.word(uint16_t(control.id));
        }
        out.textOrOrdinal(control.controlClass);
        out.textOrOrdinal(control.title);
        out.word(0);  // no creation data
    }
    return std::move(out.bytes);
}

bool bitmapResource(const std::string& file, std::vector<uint8_t>& data, std::string& error) {
    if (file.size() < 14 + 12 || file[0] != 'B' || file[1] != 'M') {
        error = "not a bitmap file";
        return false;
    }
    const uint32_t headerSize = readDword(file, 14);
    if (headerSize < 12 || headerSize > file.size() - 14) {
        error = "bitmap info header size " + std::to_string(headerSize) + " does not fit the file";
        return false;
    }
    data.assign(file.begin() + 14, file.end());
    return true;
}

bool iconResources(const std::string& file, uint16_t firstId, IconResources& icons,
                   std::string& error) {
    if (file.size() < 6 || readWord(file, 0) != 0 || readWord(file, 2) != 1) {
        error = "not an icon file";
        return false;
    }
    const uint16_t count = readWord(file, 4);
    if (count == 0 || file.size() < 6 + 16 * size_t(count)) {
        error = "icon directory is empty or cut short";
        return false;
    }
    if (size_t(firstId) + count - 1 > 0xFFFF) {
        error = "too many icon images";
        return false;
    }
    IconResources result;
    Writer group;
    group.word(0);
    group.word(1);
    group.word(count);
    for (uint16_t i = 0; i < count; ++i) {
        const size_t entry = 6 + 16 * size_t(i);
        const uint32_t size = readDword(file, entry + 8);
        const uint32_t offset = readDword(file, entry + 12);
        if (size == 0 || offset > file.size() || size > file.size() - offset) {
            error = "icon image " + std::to_string(i + 1) + " lies outside the file";
            return false;
        }
        std::vector<uint8_t> image(file.begin() + offset, file.begin() + offset + size);
        uint16_t planes = readWord(file, entry + 4);
        uint16_t bitCount = readWord(file, entry + 6);
        // Icon files often leave these 0; the group entry should carry the
        // real values, which a DIB image has in its own header.
        const std::string header(image.begin(), image.begin() + std::min<size_t>(image.size(), 16));
        if (header.size() >= 16 && readDword(header, 0) >= 40) {
            if (planes == 0) planes = readWord(header, 12);
            if (bitCount == 0) bitCount = readWord(header, 14);
        }
        for (int b = 0; b < 4; ++b) group.byte(uint8_t(file[entry + b]));
        group.word(planes);
        group.word(bitCount);
        group.dword(size);
        group.word(uint16_t(firstId + i));
        result.images.push_back(std::move(image));
    }
    result.group = std::move(group.bytes);
    icons = std::move(result);
    return true;
}

bool compileScript(const Script& script, const FileReader& reader,
                   std::vector<CompiledResource>& resources, Diagnostic& error) {
    std::vector<CompiledResource> result;
    uint16_t nextIconId = 1;
    for (const Resource& resource : script.resources) {
        std::string file;
        const bool fromFile = resource.kind == ResourceKind::Bitmap ||
                              resource.kind == ResourceKind::Icon ||
                              resource.kind == ResourceKind::File;
        if (fromFile && (!reader || !reader(resource.path, file))) {
            error = Diagnostic{resource.where, "cannot read " + resource.path};
            return false;
        }
        std::string problem;
        CompiledResource compiled{resource.type, resource.name, {}};
        switch (resource.kind) {
            case ResourceKind::Bitmap:
                if (!bitmapResource(file, compiled.data, problem)) {
                    error = Diagnostic{resource.where, resource.path + ": " + problem};
                    return false;
                }
                break;
            case ResourceKind::Icon: {
                IconResources icons;
                if (!iconResources(file, nextIconId, icons, problem)) {
                    error = Diagnostic{resource.where, resource.path + ": " + problem};
                    return false;
                }
                for (std::vector<uint8_t>& image : icons.images) {
                    result.push_back(CompiledResource{NameOrId::number(kTypeIcon),
                                                      NameOrId::number(nextIconId++),
                                                      std::move(image)});
                }
                compiled.data = std::move(icons.group);
                break;
            }
            case ResourceKind::File:
                compiled.data.assign(file.begin(), file.end());
                break;
            case ResourceKind::Menu:
                compiled.data = encodeMenu(resource.menu);
                break;
            case ResourceKind::Dialog:
                compiled.data = encodeDialog(resource.dialog);
                break;
        }
        result.push_back(std::move(compiled));
    }
    resources = std::move(result);
    return true;
}

}  // namespace rc
