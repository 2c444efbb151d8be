// The bitmaps the GDI tests load, also held in their resource table.
#pragma once

#include "tests/platform/gdi/dib_builder.h"

// 8 bits, 5 x 3 (rows padded), bottom-up, a 4-entry table; pixel (x, y) is
// index (x + y) % 4.
DibLayout Checker8Layout();
// 24 bits, 3 x 2, top-down; pixel (x, y) is 0x00RRGGBB with x and y in it.
DibLayout Rgb24Layout();
// 4 bits, 3 x 2, bottom-up, with an info header of 52 bytes.
DibLayout LongHeader4Layout();
