#include "platform/user/dialog_template.h"

namespace user {
namespace {

constexpr uint32_t kSetFont = 0x40;  // DS_SETFONT: a font description follows the caption

struct Reader {
    const unsigned char* data;
    size_t size;
    size_t pos;
    bool ok;

    bool Need(size_t n) {
        if (!ok || n > size - pos) ok = false;
        return ok;
    }
    uint8_t Byte() {
        if (!Need(1)) return 0;
        return data[pos++];
    }
    uint16_t Word() {
        if (!Need(2)) return 0;
        uint16_t w = static_cast<uint16_t>(data[pos] | (data[pos + 1] << 8));
        pos += 2;
        return w;
    }
    uint32_t Dword() {
        uint32_t low = Word();
        return low | (static_cast<uint32_t>(Word()) << 16);
    }
    std::string Text() {
        std::string s;
        for (;;) {
            uint16_t c = Word();
            if (!ok || c == 0) break;
            s.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
        }
        return s;
    }
    // 0x0000 alone: nothing; 0xFFFF and a word: an ordinal; else a text.
    TemplateName Name() {
        TemplateName name{};
        if (!Need(2)) return name;
        const uint16_t first = static_cast<uint16_t>(data[pos] | (data[pos + 1] << 8));
        if (first == 0) {
            pos += 2;
            return name;
        }
        name.present = true;
        if (first == 0xFFFF) {
            pos += 2;
            name.isOrdinal = true;
            name.ordinal = Word();
            return name;
        }
        name.text = Text();
        return name;
    }
    // Items start on 32-bit boundaries counted from the template's start.
    void Align() {
        const size_t aligned = (pos + 3) & ~static_cast<size_t>(3);
        if (aligned > size) {
            ok = false;
            return;
        }
        pos = aligned;
    }
};

bool ParseItem(Reader& in, bool extended, DialogItemTemplate* item) {
    in.Align();
    if (extended) {
        item->helpId = in.Dword();
        item->exStyle = in.Dword();
        item->style = in.Dword();
    } else {
        item->style = in.Dword();
        item->exStyle = in.Dword();
    }
    item->x = static_cast<int16_t>(in.Word());
    item->y = static_cast<int16_t>(in.Word());
    item->cx = static_cast<int16_t>(in.Word());
    item->cy = static_cast<int16_t>(in.Word());
    item->id = extended ? static_cast<int>(static_cast<int32_t>(in.Dword()))
                        : static_cast<int>(static_cast<int16_t>(in.Word()));
    item->windowClass = in.Name();
    item->title = in.Name();
    const uint16_t extra = in.Word();
    if (!in.Need(extra)) return false;
    item->creationData.assign(in.data + in.pos, in.data + in.pos + extra);
    in.pos += extra;
    return in.ok;
}

}  // namespace

bool ParseDialogTemplate(const unsigned char* data, size_t size, DialogTemplate* out) {
    if (!data || !out) return false;
    *out = DialogTemplate{};
    Reader in{data, size, 0, true};
    if (size >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF) {
        out->extended = true;
        in.pos = 4;
        out->helpId = in.Dword();
        out->exStyle = in.Dword();
        out->style = in.Dword();
    } else if (size >= 4 && data[2] == 0xFF && data[3] == 0xFF) {
        return false;  // an extended template of a version nobody wrote
    } else {
        out->style = in.Dword();
        out->exStyle = in.Dword();
    }
    const uint16_t count = in.Word();
    out->x = static_cast<int16_t>(in.Word());
    out->y = static_cast<int16_t>(in.Word());
    out->cx = static_cast<int16_t>(in.Word());
    out->cy = static_cast<int16_t>(in.Word());
    out->menu = in.Name();
    out->windowClass = in.Name();
    out->caption = in.Text();
    if (out->style & kSetFont) {
        out->hasFont = true;
        out->pointSize = in.Word();
        if (out->extended) {
            out->weight = in.Word();
            out->italic = in.Byte() != 0;
            out->charset = in.Byte();
        }
        out->face = in.Text();
    }
    if (!in.ok) return false;
    // Each item takes at least 18 bytes, so a count the bytes cannot hold is
    // refused before anything is reserved for it.
    if (count > (size - in.pos) / 18 + 1) return false;
    out->items.resize(count);
    for (DialogItemTemplate& item : out->items) {
        if (!ParseItem(in, out->extended, &item)) return false;
    }
    return in.ok;
}

}  // namespace user
