#include "platform/gdi/gdi_objects.h"

#include <cstring>
#include <new>
#include <unordered_set>

namespace {

// Never destroyed: objects still alive at exit stay reachable, and no handle
// check can run into a set already torn down by static destruction.
std::unordered_set<const GdiObject*>& LiveObjects() {
    static auto* live = new std::unordered_set<const GdiObject*>();
    return *live;
}

bool Register(const GdiObject* object) {
    try {
        LiveObjects().insert(object);
        return true;
    } catch (...) {
        return false;
    }
}

// Larger pictures than this are refused: nothing the program loads comes near,
// and it keeps every size computation far from overflow.
constexpr int kMaxDimension = 32768;

}  // namespace

int DibStride(int width, int bitCount) {
    if (width <= 0 || width > kMaxDimension || bitCount <= 0 || bitCount > 32) return 0;
    const int64_t bitsPerRow = static_cast<int64_t>(width) * bitCount;
    return static_cast<int>((bitsPerRow + 31) / 32 * 4);
}

HBITMAP CreateDibSection(int width, int height, int bitCount, const RGBQUAD* colours,
                         int colourCount, const uint8_t* bits) {
    switch (bitCount) {
        case 1:
        case 4:
        case 8:
        case 16:
        case 24:
        case 32:
            break;
        default:
            return nullptr;
    }
    const int64_t rows = height < 0 ? -static_cast<int64_t>(height) : height;
    const int stride = DibStride(width, bitCount);
    if (stride == 0 || rows == 0 || rows > kMaxDimension) return nullptr;
    if (colourCount < 0 || (colourCount > 0 && colours == nullptr)) return nullptr;

    auto* bitmap = new (std::nothrow) DibBitmap();
    if (bitmap == nullptr) return nullptr;
    bitmap->kind = GdiKind::Bitmap;
    bitmap->width = width;
    bitmap->height = static_cast<int>(rows);
    bitmap->bottomUp = height > 0;
    bitmap->bitCount = bitCount;
    bitmap->stride = stride;
    bitmap->colourCount = colourCount > 256 ? 256 : colourCount;
    if (bitmap->colourCount > 0) {
        std::memcpy(bitmap->colours, colours, sizeof(RGBQUAD) * bitmap->colourCount);
    }
    const size_t size = static_cast<size_t>(stride) * static_cast<size_t>(rows);
    try {
        if (bits != nullptr) {
            bitmap->bits.assign(bits, bits + size);
        } else {
            bitmap->bits.assign(size, 0);
        }
    } catch (...) {
        delete bitmap;
        return nullptr;
    }
    if (!Register(bitmap)) {
        delete bitmap;
        return nullptr;
    }
    return reinterpret_cast<HBITMAP>(bitmap);
}

DibBitmap* FindBitmap(HGDIOBJ handle) {
    auto* object = static_cast<GdiObject*>(handle);
    if (object == nullptr || LiveObjects().count(object) == 0) return nullptr;
    return object->kind == GdiKind::Bitmap ? static_cast<DibBitmap*>(object) : nullptr;
}

DeviceContext* FindDC(HDC handle) {
    auto* object = reinterpret_cast<GdiObject*>(handle);
    if (object == nullptr || LiveObjects().count(object) == 0) return nullptr;
    return object->kind == GdiKind::Bitmap ? nullptr : static_cast<DeviceContext*>(object);
}

HDC AddDC(DeviceContext* dc) {
    if (!Register(dc)) return nullptr;
    return reinterpret_cast<HDC>(dc);
}

void RemoveDC(DeviceContext* dc) {
    if (dc->bitmap != nullptr && dc->bitmap->selectedInto == dc) dc->bitmap->selectedInto = nullptr;
    LiveObjects().erase(dc);
    delete dc;
}

void RemoveBitmap(DibBitmap* bitmap) {
    LiveObjects().erase(bitmap);
    delete bitmap;
}

DibBitmap* StockBitmap() {
    static DibBitmap* stock = [] {
        const RGBQUAD blackAndWhite[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
        DibBitmap* bitmap = FindBitmap(CreateDibSection(1, 1, 1, blackAndWhite, 2, nullptr));
        if (bitmap != nullptr) bitmap->stock = true;
        return bitmap;
    }();
    return stock;
}

namespace {

const uint8_t* StoredRow(const DibBitmap& bitmap, int y) {
    const int row = bitmap.bottomUp ? bitmap.height - 1 - y : y;
    return bitmap.bits.data() + static_cast<size_t>(row) * bitmap.stride;
}

}  // namespace

uint32_t DibRawPixel(const DibBitmap& bitmap, int x, int y) {
    const uint8_t* row = StoredRow(bitmap, y);
    switch (bitmap.bitCount) {
        case 1:
            return (row[x >> 3] >> (7 - (x & 7))) & 1u;
        case 4:
            return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15u;
        case 8:
            return row[x];
        case 16:
            return row[2 * x] | (row[2 * x + 1] << 8);
        case 24: {
            const uint8_t* p = row + 3 * x;
            return p[0] | (p[1] << 8) | (static_cast<uint32_t>(p[2]) << 16);
        }
        default: {
            const uint8_t* p = row + 4 * x;
            return p[0] | (p[1] << 8) | (static_cast<uint32_t>(p[2]) << 16);
        }
    }
}

void SetDibRawPixel(DibBitmap& bitmap, int x, int y, uint32_t value) {
    uint8_t* row = const_cast<uint8_t*>(StoredRow(bitmap, y));
    switch (bitmap.bitCount) {
        case 1: {
            const int shift = 7 - (x & 7);
            row[x >> 3] =
                static_cast<uint8_t>((row[x >> 3] & ~(1u << shift)) | ((value & 1u) << shift));
            break;
        }
        case 4: {
            const int shift = (x & 1) ? 0 : 4;
            row[x >> 1] =
                static_cast<uint8_t>((row[x >> 1] & ~(15u << shift)) | ((value & 15u) << shift));
            break;
        }
        case 8:
            row[x] = static_cast<uint8_t>(value);
            break;
        case 16:
            row[2 * x] = static_cast<uint8_t>(value);
            row[2 * x + 1] = static_cast<uint8_t>(value >> 8);
            break;
        case 24:
            row[3 * x] = static_cast<uint8_t>(value);
            row[3 * x + 1] = static_cast<uint8_t>(value >> 8);
            row[3 * x + 2] = static_cast<uint8_t>(value >> 16);
            break;
        default:
            row[4 * x] = static_cast<uint8_t>(value);
            row[4 * x + 1] = static_cast<uint8_t>(value >> 8);
            row[4 * x + 2] = static_cast<uint8_t>(value >> 16);
            row[4 * x + 3] = 0;
            break;
    }
}

uint32_t DibColour(const DibBitmap& bitmap, int x, int y) {
    const uint32_t raw = DibRawPixel(bitmap, x, y);
    if (bitmap.bitCount <= 8) {
        const RGBQUAD& c = bitmap.colours[raw];
        return (static_cast<uint32_t>(c.rgbRed) << 16) | (c.rgbGreen << 8) | c.rgbBlue;
    }
    if (bitmap.bitCount == 16) {
        const uint32_t r = (raw >> 10) & 31, g = (raw >> 5) & 31, b = raw & 31;
        return ((r << 3 | r >> 2) << 16) | ((g << 3 | g >> 2) << 8) | (b << 3 | b >> 2);
    }
    return raw;
}

void DibColourRow(const DibBitmap& bitmap, int y, uint32_t* out) {
    const uint8_t* row = StoredRow(bitmap, y);
    if (bitmap.bitCount == 8) {
        uint32_t table[256];
        for (int i = 0; i < 256; ++i) {
            const RGBQUAD& c = bitmap.colours[i];
            table[i] = (static_cast<uint32_t>(c.rgbRed) << 16) | (c.rgbGreen << 8) | c.rgbBlue;
        }
        for (int x = 0; x < bitmap.width; ++x) out[x] = table[row[x]];
        return;
    }
    if (bitmap.bitCount == 32) {
        for (int x = 0; x < bitmap.width; ++x) {
            const uint8_t* p = row + 4 * x;
            out[x] = p[0] | (p[1] << 8) | (static_cast<uint32_t>(p[2]) << 16);
        }
        return;
    }
    for (int x = 0; x < bitmap.width; ++x) out[x] = DibColour(bitmap, x, y);
}
