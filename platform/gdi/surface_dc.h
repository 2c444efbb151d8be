// Device contexts that draw onto a 32-bit pixel buffer owned by someone else:
// what DirectDraw's GetDC hands out for a surface.
#pragma once

#include <cstdint>

#include "platform/windef.h"

// pixels: 0x00RRGGBB, row after row, pitch pixels apart (pitch >= width).
// The buffer must outlive the context. Null for a bad buffer or size.
HDC CreateSurfaceDC(uint32_t* pixels, int pitch, int width, int height);
// Ends a context made by CreateSurfaceDC; anything else is left alone.
void DeleteSurfaceDC(HDC dc);
