// Icons decoded from the program's RT_GROUP_ICON / RT_ICON resources into
// 32-bit pixels, kept behind their HICON for window icons and SS_ICON.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/winuser.h"

namespace user {

struct IconImage {
    int width;
    int height;
    std::vector<uint32_t> argb;  // 0xAARRGGBB, top row first
};

// Null for handles that are not icons (the arrow cursor among them).
const IconImage* LookupIcon(HICON icon);
// Decodes one RT_ICON resource (BITMAPINFOHEADER with doubled height, colour
// table, XOR bits and AND mask, both bottom-up). False when malformed.
bool DecodeIcon(const unsigned char* data, size_t size, IconImage* image);

}  // namespace user
