#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/gdi/bitmap_load.h"
#include "platform/user/icon.h"
#include "platform/winbase.h"

namespace user {
namespace {

std::vector<std::unique_ptr<IconImage>> icons;

uint32_t Read32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint16_t Read16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

const unsigned char* ResourceBytes(HINSTANCE instance, LPCSTR name, LPCSTR type, DWORD* size) {
    HRSRC found = FindResourceA(instance, name, type);
    if (!found) return nullptr;
    HGLOBAL loaded = LoadResource(instance, found);
    if (!loaded) return nullptr;
    *size = SizeofResource(instance, found);
    return static_cast<const unsigned char*>(LockResource(loaded));
}

HICON LoadIcon(HINSTANCE instance, LPCSTR name, int cx, int cy) {
    DWORD size = 0;
    const unsigned char* group = ResourceBytes(instance, name, RT_GROUP_ICON, &size);
    if (!group || size < 6 || Read16(group + 2) != 1) return nullptr;
    const int count = Read16(group + 4);
    if (size < 6u + 14u * static_cast<unsigned>(count)) return nullptr;
    if (cx <= 0) cx = 32;
    if (cy <= 0) cy = 32;
    // The entry nearest the wanted size, the deepest colours among equals.
    int best = -1;
    long bestScore = 0;
    for (int i = 0; i < count; ++i) {
        const unsigned char* e = group + 6 + 14 * i;
        int w = e[0] ? e[0] : 256;
        int h = e[1] ? e[1] : 256;
        int bits = Read16(e + 6);
        long score = (std::labs(w - cx) + std::labs(h - cy)) * 1000L - bits;
        if (best < 0 || score < bestScore) {
            best = i;
            bestScore = score;
        }
    }
    if (best < 0) return nullptr;
    const WORD id = Read16(group + 6 + 14 * best + 12);
    DWORD iconSize = 0;
    const unsigned char* bytes = ResourceBytes(instance, MAKEINTRESOURCEA(id), RT_ICON, &iconSize);
    auto image = std::make_unique<IconImage>();
    if (!bytes || !DecodeIcon(bytes, iconSize, image.get())) return nullptr;
    icons.push_back(std::move(image));
    return reinterpret_cast<HICON>(icons.back().get());
}

}  // namespace

const IconImage* LookupIcon(HICON icon) {
    for (const auto& i : icons) {
        if (reinterpret_cast<HICON>(i.get()) == icon) return i.get();
    }
    return nullptr;
}

bool DecodeIcon(const unsigned char* data, size_t size, IconImage* image) {
    if (!data || size < 40) return false;
    const uint32_t headerSize = Read32(data);
    const int32_t width = static_cast<int32_t>(Read32(data + 4));
    const int32_t height = static_cast<int32_t>(Read32(data + 8)) / 2;
    const int bits = Read16(data + 14);
    const uint32_t compression = Read32(data + 16);
    uint32_t colours = Read32(data + 32);
    if (headerSize < 40 || headerSize > size || width <= 0 || height <= 0 || width > 256 ||
        height > 256 || compression != 0) {
        return false;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
    if (colours == 0 && bits <= 8) colours = 1u << bits;
    if (bits > 8) colours = 0;
    const size_t tableAt = headerSize;
    const size_t xorAt = tableAt + 4 * static_cast<size_t>(colours);
    const size_t xorStride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    const size_t andAt = xorAt + xorStride * static_cast<size_t>(height);
    const size_t andStride = ((static_cast<size_t>(width) + 31) / 32) * 4;
    if (colours > 256 || andAt > size) return false;
    const bool haveMask = andAt + andStride * static_cast<size_t>(height) <= size;
    image->width = width;
    image->height = height;
    image->argb.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = data + xorAt + xorStride * static_cast<size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            uint32_t pixel = 0;
            if (bits <= 8) {
                int index = 0;
                if (bits == 8) index = row[x];
                if (bits == 4) index = (row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
                if (bits == 1) index = (row[x / 8] >> (7 - x % 8)) & 1;
                if (static_cast<uint32_t>(index) >= colours) index = 0;
                const unsigned char* q = data + tableAt + 4 * static_cast<size_t>(index);
                pixel = 0xFF000000u | (static_cast<uint32_t>(q[2]) << 16) |
                        (static_cast<uint32_t>(q[1]) << 8) | q[0];
            } else if (bits == 24) {
                const unsigned char* q = row + 3 * x;
                pixel = 0xFF000000u | (static_cast<uint32_t>(q[2]) << 16) |
                        (static_cast<uint32_t>(q[1]) << 8) | q[0];
            } else {
                pixel = Read32(row + 4 * x);
                if (pixel >> 24) anyAlpha = true;
            }
            image->argb[static_cast<size_t>(y) * static_cast<size_t>(width) +
                        static_cast<size_t>(x)] = pixel;
        }
    }
    if (bits == 32 && !anyAlpha) {
        for (uint32_t& p : image->argb) p |= 0xFF000000u;
    }
    // The AND mask decides transparency unless the pixels carry alpha.
    if (haveMask && !(bits == 32 && anyAlpha)) {
        for (int y = 0; y < height; ++y) {
            const unsigned char* row =
                data + andAt + andStride * static_cast<size_t>(height - 1 - y);
            for (int x = 0; x < width; ++x) {
                if ((row[x / 8] >> (7 - x % 8)) & 1) {
                    image->argb[static_cast<size_t>(y) * static_cast<size_t>(width) +
                                static_cast<size_t>(x)] = 0;
                }
            }
        }
    }
    return true;
}

}  // namespace user

HANDLE WINAPI LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
    if (type == IMAGE_BITMAP) return LoadBitmapImage(instance, name, cx, cy, flags);
    if (type == IMAGE_ICON && !(flags & LR_LOADFROMFILE))
        return user::LoadIcon(instance, name, cx, cy);
    return nullptr;
}
