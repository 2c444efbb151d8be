// The GDI round trip the sprite-sheet load makes with a loaded bitmap,
// shared by the bitmap fuzz targets: describe it, select it into a memory
// DC, stretch it onto a surface DC, and take everything down again.
#pragma once

#include <cstdint>

#include "platform/gdi/surface_dc.h"
#include "platform/wingdi.h"

namespace fuzz {

inline void CheckGdi(bool holds) {
    if (!holds) __builtin_trap();
}

// wantedWidth/wantedHeight: the size asked of the loader, 0 for the
// picture's own.
inline void DrawAndDelete(HBITMAP bitmap, int wantedWidth, int wantedHeight) {
    BITMAP info;
    CheckGdi(GetObjectA(bitmap, sizeof info, &info) == static_cast<int>(sizeof info));
    CheckGdi(info.bmWidth > 0 && info.bmHeight > 0 && info.bmWidthBytes % 4 == 0);
    CheckGdi(info.bmBitsPixel == 1 || info.bmBitsPixel == 4 || info.bmBitsPixel == 8 ||
             info.bmBitsPixel == 16 || info.bmBitsPixel == 24 || info.bmBitsPixel == 32);
    if (wantedWidth != 0) CheckGdi(info.bmWidth == wantedWidth);
    if (wantedHeight != 0) CheckGdi(info.bmHeight == wantedHeight);

    HDC memory = CreateCompatibleDC(nullptr);
    CheckGdi(memory != nullptr);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    CheckGdi(previous != nullptr);

    // A 12 x 12 target inside a larger buffer: the copy must stay inside it.
    const int pitch = 20, rows = 18, left = 2, top = 3, size = 12;
    const uint32_t untouched = 0xDEADBEEF;
    uint32_t pixels[pitch * rows];
    for (uint32_t& p : pixels) p = untouched;
    HDC surface = CreateSurfaceDC(pixels + top * pitch + left, pitch, size, size);
    CheckGdi(surface != nullptr);
    CheckGdi(StretchBlt(surface, 0, 0, size, size, memory, 0, 0, info.bmWidth, info.bmHeight,
                        SRCCOPY) == TRUE);
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < pitch; ++x) {
            const bool inside = x >= left && x < left + size && y >= top && y < top + size;
            const uint32_t p = pixels[y * pitch + x];
            CheckGdi(inside ? (p & 0xFF000000u) == 0 : p == untouched);
        }
    }
    DeleteSurfaceDC(surface);

    SelectObject(memory, previous);
    CheckGdi(DeleteDC(memory) == TRUE);
    CheckGdi(DeleteObject(bitmap) == TRUE);
}

}  // namespace fuzz
