// Dialog templates as the resource compiler stores them (DLGTEMPLATE and
// DLGTEMPLATEEX with their items), read into plain values. A pure function
// over bytes: templates may come from anywhere, so every read is bounded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace user {

// A menu, class or title field: absent, a 16-bit ordinal, or a text.
struct TemplateName {
    bool present;
    bool isOrdinal;
    uint16_t ordinal;
    std::string text;  // UTF-16 narrowed to Latin-1, '?' for the rest
};

struct DialogItemTemplate {
    uint32_t helpId;
    uint32_t exStyle;
    uint32_t style;
    int16_t x;
    int16_t y;
    int16_t cx;
    int16_t cy;
    int id;  // a 16-bit id of the standard form sign-extends, so -1 stays -1
    TemplateName windowClass;
    TemplateName title;
    std::vector<uint8_t> creationData;
};

struct DialogTemplate {
    bool extended;
    uint32_t helpId;
    uint32_t exStyle;
    uint32_t style;
    int16_t x;
    int16_t y;
    int16_t cx;
    int16_t cy;
    TemplateName menu;
    TemplateName windowClass;
    std::string caption;
    bool hasFont;
    uint16_t pointSize;
    uint16_t weight;
    bool italic;
    uint8_t charset;
    std::string face;
    std::vector<DialogItemTemplate> items;
};

// False when the bytes are not a complete template (truncated, a string or
// item running past the end, an unknown extended version); `out` is then
// unspecified. Bytes after the last item are ignored.
bool ParseDialogTemplate(const unsigned char* data, size_t size, DialogTemplate* out);

}  // namespace user
