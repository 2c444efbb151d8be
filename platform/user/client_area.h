// What DirectDraw's primary surface needs of a window: the pixels of its
// client area and a way to show changed pixels at once.
#pragma once

#include <cstdint>

#include "platform/windef.h"

struct ClientArea {
    uint32_t* pixels;  // 0x00RRGGBB, row after row
    int pitch;         // pixels from one row to the next
    int width;         // client area size in pixels
    int height;
    POINT origin;  // screen position of client pixel (0, 0)
};

// False when there is no display to draw on (no video device).
bool DisplayAvailable();

// False when the window is not an existing, shown top-level window.
bool LockClientArea(HWND window, ClientArea* area);
// Shows the changed rectangle (client coordinates) on the screen now, even
// while no events are being pumped.
void UnlockClientArea(HWND window, const RECT* changed);
