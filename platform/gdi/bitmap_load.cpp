#include "platform/gdi/bitmap_load.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/gdi/gdi_objects.h"
#include "platform/winbase.h"
#include "platform/winuser.h"

// Every field is read through these so that no input, however truncated or
// contrived, makes the parser read outside the bytes it was given.
namespace {

uint32_t Read16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t Read32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

constexpr size_t kInfoHeaderSize = 40;
constexpr size_t kFileHeaderSize = 14;
// A .bmp larger than this is not a picture this program could want.
constexpr long kMaxFileSize = 64L * 1024 * 1024;

// A packed DIB: info header, colour table, then the pixels at bitsOffset
// (counted from the info header) or, when bitsOffset is 0, right after the
// table as in a bitmap resource.
HBITMAP ParsePackedDib(const uint8_t* data, size_t size, size_t bitsOffset) {
    if (data == nullptr || size < kInfoHeaderSize) return nullptr;
    const uint32_t headerSize = Read32(data);
    const int32_t width = static_cast<int32_t>(Read32(data + 4));
    const int32_t height = static_cast<int32_t>(Read32(data + 8));
    const uint32_t planes = Read16(data + 12);
    const uint32_t bitCount = Read16(data + 14);
    const uint32_t compression = Read32(data + 16);
    const uint32_t coloursUsed = Read32(data + 32);
    if (headerSize < kInfoHeaderSize || headerSize > size) return nullptr;
    if (planes != 1 || compression != BI_RGB) return nullptr;
    if (width <= 0 || height == 0 || height == INT32_MIN) return nullptr;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32) {
        return nullptr;
    }
    // Indexed pictures carry a table of 2^depth entries unless told fewer;
    // deeper ones may carry an optional table, which is skipped.
    uint32_t tableEntries = coloursUsed;
    if (bitCount <= 8) {
        if (tableEntries == 0) tableEntries = 1u << bitCount;
    }
    if (tableEntries > 256) return nullptr;
    const size_t tableOffset = headerSize;
    const size_t tableBytes = static_cast<size_t>(tableEntries) * 4;
    if (tableBytes > size - tableOffset) return nullptr;
    const size_t tableEnd = tableOffset + tableBytes;
    if (bitsOffset == 0) bitsOffset = tableEnd;
    if (bitsOffset < tableEnd || bitsOffset > size) return nullptr;

    const int stride = DibStride(width, static_cast<int>(bitCount));
    if (stride == 0) return nullptr;
    const uint64_t rows = height < 0 ? -static_cast<int64_t>(height) : height;
    const uint64_t pixelBytes = static_cast<uint64_t>(stride) * rows;
    if (pixelBytes > size - bitsOffset) return nullptr;

    RGBQUAD colours[256] = {};
    const int colourCount = bitCount <= 8 ? static_cast<int>(tableEntries) : 0;
    for (int i = 0; i < colourCount; ++i) {
        const uint8_t* entry = data + tableOffset + 4 * static_cast<size_t>(i);
        colours[i] = {entry[0], entry[1], entry[2], 0};
    }
    return CreateDibSection(width, height, static_cast<int>(bitCount), colours, colourCount,
                            data + bitsOffset);
}

bool ReadWholeFile(const char* path, std::vector<uint8_t>* bytes) {
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(file) : -1;
    ok = ok && size >= 0 && size <= kMaxFileSize && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        try {
            bytes->resize(static_cast<size_t>(size));
        } catch (...) {
            ok = false;
        }
    }
    ok =
        ok && !bytes->empty() && std::fread(bytes->data(), 1, bytes->size(), file) == bytes->size();
    std::fclose(file);
    return ok;
}

HBITMAP LoadFromFile(LPCSTR path) {
    if (path == nullptr || IS_INTRESOURCE(path)) return nullptr;
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, &bytes)) return nullptr;
    if (bytes.size() < kFileHeaderSize + kInfoHeaderSize) return nullptr;
    if (bytes[0] != 'B' || bytes[1] != 'M') return nullptr;
    const uint32_t offBits = Read32(bytes.data() + 10);
    // A zero offset would mean "right after the table" to the parser; a file
    // must say where its pixels are.
    if (offBits <= kFileHeaderSize) return nullptr;
    return ParsePackedDib(bytes.data() + kFileHeaderSize, bytes.size() - kFileHeaderSize,
                          offBits - kFileHeaderSize);
}

HBITMAP LoadFromResource(HINSTANCE instance, LPCSTR name) {
    if (name == nullptr) return nullptr;
    HRSRC resource = FindResourceA(instance, name, RT_BITMAP);
    if (resource == nullptr) return nullptr;
    HGLOBAL handle = LoadResource(instance, resource);
    if (handle == nullptr) return nullptr;
    const auto* data = static_cast<const uint8_t*>(LockResource(handle));
    return ParsePackedDib(data, SizeofResource(instance, resource), 0);
}

// The picture at another size, nearest pixel, keeping depth and table.
HBITMAP Resized(DibBitmap* source, int width, int height) {
    const int signedHeight = source->bottomUp ? height : -height;
    HBITMAP handle = CreateDibSection(width, signedHeight, source->bitCount, source->colours,
                                      source->colourCount, nullptr);
    DibBitmap* target = FindBitmap(handle);
    if (target == nullptr) return nullptr;
    for (int y = 0; y < height; ++y) {
        const int sy = static_cast<int>((2 * static_cast<int64_t>(y) + 1) * source->height /
                                        (2 * static_cast<int64_t>(height)));
        for (int x = 0; x < width; ++x) {
            const int sx = static_cast<int>((2 * static_cast<int64_t>(x) + 1) * source->width /
                                            (2 * static_cast<int64_t>(width)));
            SetDibRawPixel(*target, x, y, DibRawPixel(*source, sx, sy));
        }
    }
    return handle;
}

}  // namespace

HBITMAP LoadBitmapImage(HINSTANCE instance, LPCSTR name, int width, int height, UINT flags) {
    if (width < 0 || height < 0) return nullptr;
    HBITMAP handle =
        (flags & LR_LOADFROMFILE) ? LoadFromFile(name) : LoadFromResource(instance, name);
    DibBitmap* bitmap = FindBitmap(handle);
    if (bitmap == nullptr) return nullptr;
    const int wantedWidth = width == 0 ? bitmap->width : width;
    const int wantedHeight = height == 0 ? bitmap->height : height;
    if (wantedWidth == bitmap->width && wantedHeight == bitmap->height) return handle;
    HBITMAP resized = Resized(bitmap, wantedWidth, wantedHeight);
    RemoveBitmap(bitmap);
    return resized;
}
