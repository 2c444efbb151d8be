// The sprite sheet's palette loader on any bytes, through both of its
// paths. The first input byte chooses: even, the rest is a .bmp file named
// by a path; odd, the rest is the bitmap resource of that name. DirectDraw
// is a stand-in that keeps the 256 entries it is given; the display's
// sprite_sheet.cpp is compiled in alone, with the two window-manager calls it
// names (LoadImageA, SetRect) answered here.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "display/sprite_sheet.h"
#include "fuzz/fuzz_files.h"
#include "fuzz/fuzz_resources.h"
#include "platform/gdi/bitmap_load.h"

FUZZ_DEFINE_RESOURCE_TABLE();

namespace {

void Check(bool holds) {
    if (!holds) __builtin_trap();
}

PALETTEENTRY created[256];

struct KeptPalette final : IDirectDrawPalette {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 0; }
} keptPalette;

struct PaletteOnlyDirectDraw final : IDirectDraw {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 0; }
    HRESULT STDMETHODCALLTYPE CreateClipper(DWORD, LPDIRECTDRAWCLIPPER*, IUnknown*) override {
        return DDERR_GENERIC;
    }
    HRESULT STDMETHODCALLTYPE CreatePalette(DWORD flags, LPPALETTEENTRY entries,
                                            LPDIRECTDRAWPALETTE* palette, IUnknown*) override {
        Check(flags == DDPCAPS_8BIT && entries != nullptr && palette != nullptr);
        std::memcpy(created, entries, sizeof created);
        *palette = &keptPalette;
        return DD_OK;
    }
    HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC, LPDIRECTDRAWSURFACE*,
                                            IUnknown*) override {
        return DDERR_GENERIC;
    }
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND, DWORD) override { return DD_OK; }
} directDrawStandIn;

bool IsRamp(const PALETTEENTRY& e, int i) {
    return e.peRed == ((i >> 5) & 7) * 255 / 7 && e.peGreen == ((i >> 2) & 7) * 255 / 7 &&
           e.peBlue == (i & 3) * 85 && e.peFlags == 0;
}

uint32_t Read32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

// Only the bitmap half of LoadImageA is reached from the palette loader's
// translation unit.
HANDLE WINAPI LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
    return type == IMAGE_BITMAP ? LoadBitmapImage(instance, name, cx, cy, flags) : nullptr;
}

BOOL WINAPI SetRect(LPRECT rect, int left, int top, int right, int bottom) {
    if (rect == nullptr) return FALSE;
    *rect = RECT{left, top, right, bottom};
    return TRUE;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::EnterPrivateFolder(argc, argv, "fuzz_palette_file");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const bool fromResource = (data[0] & 1) != 0;
    const uint8_t* bytes = data + 1;
    const size_t length = size - 1;

    char name[16] = "sheet.bmp";
    if (fromResource) {
        const WORD id = fuzz::PlaceResource(bytes, length);
        if (id == 0) return 0;
        std::snprintf(name, sizeof name, "#%u", id);
    } else {
        fuzz::WriteWholeFile(name, bytes, length);
    }
    std::memset(created, 0x5A, sizeof created);
    Check(LoadSheetPalette(&directDrawStandIn, name) == &keptPalette);

    if (fromResource) {
        // A resource gives colours only, never flags, and never from bytes
        // past its end: entries whose table slot it does not hold keep the ramp.
        const uint64_t headerSize = length >= 40 ? Read32(bytes) : 0;
        for (int j = 0; j < 256; ++j) {
            Check(created[j].peFlags == 0);
            if (headerSize + 4 * static_cast<uint64_t>(j) + 4 > length) {
                Check(IsRamp(created[j], j));
            }
        }
    } else {
        // Entries the file holds no bytes for keep the ramp, perhaps with
        // red and blue exchanged.
        for (int j = 0; j < 256; ++j) {
            if (14 + 40 + 4 * static_cast<size_t>(j) + 4 <= length) continue;
            PALETTEENTRY swapped = created[j];
            std::swap(swapped.peRed, swapped.peBlue);
            if (14 + 40 + 4 * static_cast<size_t>(j) < length) continue;  // partly read
            Check(IsRamp(created[j], j) || IsRamp(swapped, j));
        }
    }
    return 0;
}
