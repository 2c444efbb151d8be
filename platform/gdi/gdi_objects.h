// The objects behind GDI handles: DIB sections and device contexts. A handle
// is the object's address, but only addresses found in the live set are ever
// followed, so stale or made-up handles are refused instead of dereferenced.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/wingdi.h"

enum class GdiKind { Bitmap, MemoryDC, SurfaceDC };

struct GdiObject {
    GdiKind kind;
};

struct DeviceContext;

// A device-independent bitmap kept in its own stored layout, so bmBits is
// what a Windows DIB section would hand out.
struct DibBitmap : GdiObject {
    int width = 0;
    int height = 0;  // always positive; the stored order is in bottomUp
    bool bottomUp = true;
    int bitCount = 0;  // 1, 4, 8, 16 (5-5-5), 24 or 32
    int stride = 0;    // bytes from one stored row to the next, a multiple of 4
    int colourCount = 0;
    RGBQUAD colours[256] = {};  // entries from colourCount on stay black
    std::vector<uint8_t> bits;
    bool stock = false;  // the default bitmap of every new memory DC
    DeviceContext* selectedInto = nullptr;
};

struct DeviceContext : GdiObject {
    DibBitmap* bitmap = nullptr;  // memory DC: the selected bitmap
    uint32_t* pixels = nullptr;   // surface DC: 0x00RRGGBB target
    int pitch = 0;                // surface DC: pixels from one row to the next
    int width = 0;
    int height = 0;
};

// Bytes in one stored row of a DIB of that width and depth; 0 when the row
// would not fit in an int.
int DibStride(int width, int bitCount);

// A new DIB section; height < 0 means rows are stored top row first. The
// colour table is copied up to 256 entries; bits, when given, must hold
// stride * |height| bytes, otherwise the picture starts all zero. Null when
// the size or depth is not supported or memory runs out.
HBITMAP CreateDibSection(int width, int height, int bitCount, const RGBQUAD* colours,
                         int colourCount, const uint8_t* bits);

// The live object a handle names, or null for anything else.
DibBitmap* FindBitmap(HGDIOBJ handle);
DeviceContext* FindDC(HDC handle);

// Registers a new device context; null when memory runs out.
HDC AddDC(DeviceContext* dc);
// Forgets and frees a device context, letting its bitmap go.
void RemoveDC(DeviceContext* dc);
// Forgets and frees a bitmap that is selected nowhere.
void RemoveBitmap(DibBitmap* bitmap);

// The default bitmap selected into a new memory DC: 1 x 1, one bit, black.
DibBitmap* StockBitmap();

// Pixel access in top-down coordinates; the caller keeps x and y in range.
// Raw values are palette indices for depths up to 8, the 16-bit word for 16,
// and 0x00RRGGBB (alpha byte dropped) for 24 and 32.
uint32_t DibRawPixel(const DibBitmap& bitmap, int x, int y);
void SetDibRawPixel(DibBitmap& bitmap, int x, int y, uint32_t value);
// The pixel as 0x00RRGGBB, through the colour table for indexed depths.
uint32_t DibColour(const DibBitmap& bitmap, int x, int y);
// Row y (top-down) as width 0x00RRGGBB values: the same colours as DibColour,
// for copies that would otherwise decode pixel by pixel.
void DibColourRow(const DibBitmap& bitmap, int y, uint32_t* out);
