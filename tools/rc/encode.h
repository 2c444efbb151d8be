// Turning a parsed script into the bytes each resource holds on Windows:
// binary menu and dialog templates, a bitmap without its file header, an
// icon file split into its images and their group directory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/rc/parser.h"
#include "tools/rc/script.h"

namespace rc {

struct CompiledResource {
    NameOrId type;
    NameOrId name;
    std::vector<uint8_t> data;
};

// MENUITEMTEMPLATEHEADER and the items, depth first.
std::vector<uint8_t> encodeMenu(const Menu& menu);

// DLGTEMPLATE or DLGTEMPLATEEX with DWORD-aligned items.
std::vector<uint8_t> encodeDialog(const Dialog& dialog);

// A .bmp file minus its 14-byte file header.
bool bitmapResource(const std::string& file, std::vector<uint8_t>& data, std::string& error);

// The RT_ICON images of an .ico file, numbered from firstId, and the
// RT_GROUP_ICON directory that names them.
struct IconResources {
    std::vector<std::vector<uint8_t>> images;
    std::vector<uint8_t> group;
};
bool iconResources(const std::string& file, uint16_t firstId, IconResources& icons,
                   std::string& error);

// Loads every referenced file through `reader` and encodes every resource, in
// script order (an icon's images just before its group).
bool compileScript(const Script& script, const FileReader& reader,
                   std::vector<CompiledResource>& resources, Diagnostic& error);

}  // namespace rc
