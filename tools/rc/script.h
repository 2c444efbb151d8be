// What the resource compiler reads from a script, before any referenced file
// is loaded: parsing alone never touches the bitmap, icon or sound files, so
// a script can be checked without its art.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rc {

// Predefined resource types, as the program looks them up.
inline constexpr uint16_t kTypeBitmap = 2;
inline constexpr uint16_t kTypeIcon = 3;
inline constexpr uint16_t kTypeMenu = 4;
inline constexpr uint16_t kTypeDialog = 5;
inline constexpr uint16_t kTypeRcData = 10;
inline constexpr uint16_t kTypeGroupIcon = 14;

struct Location {
    std::string file;
    int line = 0;
};

// "file:line: error: message", the form editors and build logs jump to.
struct Diagnostic {
    Location where;
    std::string message;
    std::string format() const;
};

// A resource name or type: an integer id, or a string compared without
// regard to case.
struct NameOrId {
    bool isString = false;
    uint16_t id = 0;
    std::string text;

    static NameOrId number(uint16_t id);
    static NameOrId string(std::string text);
    bool operator==(const NameOrId&) const = default;
};

// A field of a template that holds either a text or 0xFFFF and an ordinal
// (a control's title, a class atom, a dialog's menu).
struct TextOrOrdinal {
    bool isOrdinal = false;
    uint16_t ordinal = 0;
    std::u16string text;

    static TextOrOrdinal ofOrdinal(uint16_t ordinal);
    static TextOrOrdinal ofText(std::u16string text);
    bool operator==(const TextOrOrdinal&) const = default;
};

// Menu item flags as the binary template stores them.
inline constexpr uint16_t kMenuGrayed = 0x0001;
inline constexpr uint16_t kMenuInactive = 0x0002;
inline constexpr uint16_t kMenuChecked = 0x0008;
inline constexpr uint16_t kMenuPopup = 0x0010;
inline constexpr uint16_t kMenuBarBreak = 0x0020;
inline constexpr uint16_t kMenuBreak = 0x0040;
inline constexpr uint16_t kMenuEnd = 0x0080;
inline constexpr uint16_t kMenuHelp = 0x4000;

struct MenuItem {
    std::u16string text;
    uint16_t id = 0;
    uint16_t options = 0;  // grayed, checked, ...; popup and end are added on encoding
    bool separator = false;
    bool popup = false;
    std::vector<MenuItem> items;  // of a popup
};

struct Menu {
    std::vector<MenuItem> items;
};

// Atoms of the predefined control classes.
inline constexpr uint16_t kClassButton = 0x80;
inline constexpr uint16_t kClassEdit = 0x81;
inline constexpr uint16_t kClassStatic = 0x82;
inline constexpr uint16_t kClassListBox = 0x83;
inline constexpr uint16_t kClassScrollBar = 0x84;
inline constexpr uint16_t kClassComboBox = 0x85;

struct DialogControl {
    TextOrOrdinal controlClass;
    TextOrOrdinal title;
    uint32_t id = 0;  // a plain DIALOG stores only the low 16 bits
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    uint32_t helpId = 0;
};

struct Dialog {
    bool extended = false;  // DIALOGEX
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    uint32_t helpId = 0;
    TextOrOrdinal menu;  // none when not an ordinal and empty
    TextOrOrdinal dialogClass;
    std::u16string caption;
    bool hasFont = false;
    uint16_t pointSize = 0;
    std::u16string face;
    uint16_t weight = 0;
    uint8_t italic = 0;
    uint8_t charset = 1;
    std::vector<DialogControl> controls;
};

enum class ResourceKind {
    Bitmap,  // a .bmp file
    Icon,    // a .ico file, split into RT_ICON images and one RT_GROUP_ICON
    File,    // any other type backed by a file, stored whole
    Menu,
    Dialog,
};

struct Resource {
    ResourceKind kind = ResourceKind::File;
    NameOrId type;
    NameOrId name;
    Location where;
    std::string path;  // resolved against the script's folder, for file kinds
    Menu menu;
    Dialog dialog;
};

struct Script {
    std::vector<Resource> resources;
};

}  // namespace rc
