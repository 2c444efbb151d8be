#include "platform/wingdi.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "platform/gdi/gdi_objects.h"

int WINAPI GetObjectA(HANDLE object, int size, LPVOID buffer) {
    const DibBitmap* bitmap = FindBitmap(object);
    if (bitmap == nullptr) return 0;
    if (buffer == nullptr) return static_cast<int>(sizeof(BITMAP));
    if (size < static_cast<int>(sizeof(BITMAP))) return 0;
    BITMAP info;
    info.bmType = 0;
    info.bmWidth = bitmap->width;
    info.bmHeight = bitmap->height;
    info.bmWidthBytes = bitmap->stride;
    info.bmPlanes = 1;
    info.bmBitsPixel = static_cast<WORD>(bitmap->bitCount);
    info.bmBits = const_cast<uint8_t*>(bitmap->bits.data());
    std::memcpy(buffer, &info, sizeof info);
    return static_cast<int>(sizeof info);
}

HDC WINAPI CreateCompatibleDC(HDC dc) {
    if (dc != nullptr && FindDC(dc) == nullptr) return nullptr;
    DibBitmap* stock = StockBitmap();
    if (stock == nullptr) return nullptr;
    auto* memory = new (std::nothrow) DeviceContext();
    if (memory == nullptr) return nullptr;
    memory->kind = GdiKind::MemoryDC;
    memory->bitmap = stock;
    HDC handle = AddDC(memory);
    if (handle == nullptr) delete memory;
    return handle;
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
    DeviceContext* context = FindDC(dc);
    DibBitmap* bitmap = FindBitmap(object);
    if (context == nullptr || context->kind != GdiKind::MemoryDC || bitmap == nullptr) {
        return nullptr;
    }
    DibBitmap* previous = context->bitmap;
    if (bitmap == previous) return object;
    // As on Windows, a bitmap is drawn into by one memory DC at a time.
    if (!bitmap->stock && bitmap->selectedInto != nullptr) return nullptr;
    if (previous != nullptr && previous->selectedInto == context) previous->selectedInto = nullptr;
    context->bitmap = bitmap;
    if (!bitmap->stock) bitmap->selectedInto = context;
    return previous;
}

BOOL WINAPI DeleteDC(HDC dc) {
    DeviceContext* context = FindDC(dc);
    // Surface contexts belong to their surface and end with ReleaseDC.
    if (context == nullptr || context->kind != GdiKind::MemoryDC) return FALSE;
    RemoveDC(context);
    return TRUE;
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
    DibBitmap* bitmap = FindBitmap(object);
    if (bitmap == nullptr) return FALSE;
    if (bitmap->stock) return TRUE;
    // Deleting a bitmap still selected would leave its DC drawing into freed
    // memory; Windows refuses too.
    if (bitmap->selectedInto != nullptr) return FALSE;
    RemoveBitmap(bitmap);
    return TRUE;
}

namespace {

// Where a copy reads from or writes to, resolved once per call so the pixel
// loops do not look up handles.
struct Canvas {
    DibBitmap* bitmap = nullptr;  // memory DC
    uint32_t* pixels = nullptr;   // surface DC
    int pitch = 0;
    int width = 0;
    int height = 0;
};

bool ResolveCanvas(DeviceContext* dc, Canvas* canvas) {
    if (dc->kind == GdiKind::SurfaceDC) {
        *canvas = {nullptr, dc->pixels, dc->pitch, dc->width, dc->height};
        return true;
    }
    if (dc->bitmap == nullptr) return false;
    *canvas = {dc->bitmap, nullptr, 0, dc->bitmap->width, dc->bitmap->height};
    return true;
}

// A whole source row as 0x00RRGGBB: decoding row by row instead of pixel by
// pixel keeps the sprite-sheet load off the start-up path's critical time.
void ReadRow(const Canvas& canvas, int y, uint32_t* out) {
    if (canvas.pixels != nullptr) {
        const uint32_t* row = canvas.pixels + static_cast<size_t>(y) * canvas.pitch;
        for (int x = 0; x < canvas.width; ++x) out[x] = row[x] & 0x00FFFFFFu;
        return;
    }
    DibColourRow(*canvas.bitmap, y, out);
}

bool CanWrite(const Canvas& canvas) {
    if (canvas.pixels != nullptr) return true;
    // Writing into an indexed picture would need colour matching, which
    // nothing here asks for.
    return !canvas.bitmap->stock && canvas.bitmap->bitCount >= 16;
}

void WriteColour(const Canvas& canvas, int x, int y, uint32_t colour) {
    if (canvas.pixels != nullptr) {
        canvas.pixels[static_cast<size_t>(y) * canvas.pitch + x] = colour;
        return;
    }
    if (canvas.bitmap->bitCount == 16) {
        const uint32_t r = (colour >> 19) & 31, g = (colour >> 11) & 31, b = (colour >> 3) & 31;
        colour = (r << 10) | (g << 5) | b;
    }
    SetDibRawPixel(*canvas.bitmap, x, y, colour);
}

// Nearest source pixel for destination offset i of count, over span source
// pixels starting at start: the source pixel under the destination pixel's
// centre.
int64_t NearestSource(int64_t start, int64_t span, int64_t i, int64_t count) {
    return start + (2 * i + 1) * span / (2 * count);
}

}  // namespace

BOOL WINAPI StretchBlt(HDC destination, int xDest, int yDest, int widthDest, int heightDest,
                       HDC source, int xSrc, int ySrc, int widthSrc, int heightSrc, DWORD rop) {
    if (rop != static_cast<DWORD>(SRCCOPY)) return FALSE;
    DeviceContext* to = FindDC(destination);
    DeviceContext* from = FindDC(source);
    if (to == nullptr || from == nullptr) return FALSE;
    // Mirroring through negative extents is not supported.
    if (widthDest <= 0 || heightDest <= 0 || widthSrc <= 0 || heightSrc <= 0) return FALSE;
    Canvas target, origin;
    if (!ResolveCanvas(to, &target) || !ResolveCanvas(from, &origin) || !CanWrite(target)) {
        return FALSE;
    }

    const int64_t x0 = std::max<int64_t>(xDest, 0);
    const int64_t y0 = std::max<int64_t>(yDest, 0);
    const int64_t x1 = std::min<int64_t>(static_cast<int64_t>(xDest) + widthDest, target.width);
    const int64_t y1 = std::min<int64_t>(static_cast<int64_t>(yDest) + heightDest, target.height);
    if (x0 >= x1 || y0 >= y1) return TRUE;

    // Copying within one picture reads from a snapshot, so rows already
    // written are never read back as source. Otherwise one source row is
    // decoded at a time, and kept while destination rows repeat it.
    const bool samePicture = (target.bitmap != nullptr && target.bitmap == origin.bitmap) ||
                             (target.pixels != nullptr && target.pixels == origin.pixels);
    const size_t originWidth = static_cast<size_t>(origin.width);
    std::vector<uint32_t> snapshot;
    std::vector<int64_t> columns;
    try {
        snapshot.resize(originWidth * (samePicture ? static_cast<size_t>(origin.height) : 1));
        columns.resize(static_cast<size_t>(x1 - x0));
    } catch (...) {
        return FALSE;
    }
    if (samePicture) {
        for (int y = 0; y < origin.height; ++y) ReadRow(origin, y, &snapshot[y * originWidth]);
    }
    for (int64_t x = x0; x < x1; ++x)
        columns[static_cast<size_t>(x - x0)] = NearestSource(xSrc, widthSrc, x - xDest, widthDest);

    int64_t decodedRow = -1;
    for (int64_t y = y0; y < y1; ++y) {
        const int64_t sy = NearestSource(ySrc, heightSrc, y - yDest, heightDest);
        if (sy < 0 || sy >= origin.height) continue;
        const uint32_t* row = snapshot.data();
        if (samePicture) {
            row += static_cast<size_t>(sy) * originWidth;
        } else if (sy != decodedRow) {
            ReadRow(origin, static_cast<int>(sy), snapshot.data());
            decodedRow = sy;
        }
        for (int64_t x = x0; x < x1; ++x) {
            const int64_t sx = columns[static_cast<size_t>(x - x0)];
            if (sx < 0 || sx >= origin.width) continue;
            WriteColour(target, static_cast<int>(x), static_cast<int>(y), row[sx]);
        }
    }
    return TRUE;
}
