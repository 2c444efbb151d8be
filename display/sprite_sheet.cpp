#include "display/sprite_sheet.h"

#include <cstring>

#include "rules/board.h"

LPDIRECTDRAWPALETTE sheetPalette = nullptr;
LPDIRECTDRAWSURFACE spriteSheet = nullptr;
char spriteSheetName[80];

namespace {

// Where the pictures sit on the sheet, in top-down pixel coordinates.
const LONG TILE_LEFT = 225;
const LONG TILE_TOP = 65;
const LONG TILE_STRIDE = 110;
const LONG TILE_WIDTH = 103;
const LONG TILE_HEIGHT = 105;
const LONG EMPTY_LEFT = 0;
const LONG EMPTY_TOP = 100;
const LONG EXPLOSION_LEFT = 62;
const LONG EXPLOSION_TOP = 8;
const LONG EXPLOSION_WIDTH = 55;
const LONG EXPLOSION_HEIGHT = 50;

const UINT INFO_HEADER_SIZE = 40;
const UINT FILE_HEADER_SIZE = 14;
const int PALETTE_ENTRIES = 256;

DWORD ReadLe32(const BYTE* p) {
    return static_cast<DWORD>(p[0]) | static_cast<DWORD>(p[1]) << 8 |
           static_cast<DWORD>(p[2]) << 16 | static_cast<DWORD>(p[3]) << 24;
}

WORD ReadLe16(const BYTE* p) { return static_cast<WORD>(p[0] | p[1] << 8); }

// The colour-table length a bitmap header announces, capped at the palette
// size; 0 for bitmaps without a table (more than 8 bits per pixel).
DWORD ColourCount(DWORD coloursUsed, WORD bitCount) {
    DWORD count = coloursUsed != 0 ? coloursUsed : (1u << bitCount);
    return count > PALETTE_ENTRIES ? PALETTE_ENTRIES : count;
}

// The resource first, then the name taken as a file path.
HBITMAP LoadSheetBitmap(LPCSTR name, int width, int height) {
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP,
                                                     width, height, LR_CREATEDIBSECTION));
    if (bitmap == nullptr) {
        bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, name, IMAGE_BITMAP, width, height,
                                                 LR_CREATEDIBSECTION | LR_LOADFROMFILE));
    }
    return bitmap;
}

}  // namespace

RECT TileSourceRect(int kind) {
    RECT rect;
    if (kind == EMPTY_CELL) {
        SetRect(&rect, EMPTY_LEFT, EMPTY_TOP, EMPTY_LEFT + TILE_WIDTH, EMPTY_TOP + TILE_HEIGHT);
    } else {
        const LONG top = TILE_TOP + TILE_STRIDE * kind;
        SetRect(&rect, TILE_LEFT, top, TILE_LEFT + TILE_WIDTH, top + TILE_HEIGHT);
    }
    return rect;
}

RECT ExplosionSourceRect(int frame) {
    RECT rect;
    const LONG left = EXPLOSION_LEFT + EXPLOSION_WIDTH * frame;
    SetRect(&rect, left, EXPLOSION_TOP, left + EXPLOSION_WIDTH, EXPLOSION_TOP + EXPLOSION_HEIGHT);
    return rect;
}

LPDIRECTDRAWSURFACE LoadSpriteSheet(LPDIRECTDRAW dd, LPCSTR name, int width, int height) {
    HBITMAP bitmap = LoadSheetBitmap(name, width, height);
    if (bitmap == nullptr) {
        return nullptr;
    }
    BITMAP info;
    GetObjectA(bitmap, sizeof(info), &info);

    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    desc.dwWidth = info.bmWidth;
    desc.dwHeight = info.bmHeight;
    LPDIRECTDRAWSURFACE surface = nullptr;
    if (dd->CreateSurface(&desc, &surface, nullptr) != DD_OK) {
        DeleteObject(bitmap);
        return nullptr;
    }
    ddcopybitmap(surface, bitmap, 0, 0, 0, 0);
    DeleteObject(bitmap);
    return surface;
}

HRESULT ReloadSpriteSheet(LPDIRECTDRAWSURFACE surface, LPCSTR name) {
    HBITMAP bitmap = LoadSheetBitmap(name, 0, 0);
    if (bitmap == nullptr) {
        OutputDebugStringA("handle is null\n");
        return E_FAIL;
    }
    HRESULT result = ddcopybitmap(surface, bitmap, 0, 0, 0, 0);
    if (result != DD_OK) {
        OutputDebugStringA("ddcopybitmap failed\n");
    }
    DeleteObject(bitmap);
    return result;
}

HRESULT ddcopybitmap(LPDIRECTDRAWSURFACE surface, HBITMAP bitmap, int x, int y, int width,
                     int height) {
    if (bitmap == nullptr || surface == nullptr) {
        return E_FAIL;
    }
    surface->Restore();

    // Without a memory DC the copy below simply has no source and draws
    // nothing; the surface is still handed back so start-up can go on.
    HDC imageDc = CreateCompatibleDC(nullptr);
    if (imageDc == nullptr) {
        OutputDebugStringA("createcompatible dc failed\n");
    }
    SelectObject(imageDc, bitmap);

    BITMAP info;
    GetObjectA(bitmap, sizeof(info), &info);
    const int sourceWidth = width == 0 ? info.bmWidth : width;
    const int sourceHeight = height == 0 ? info.bmHeight : height;

    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_HEIGHT | DDSD_WIDTH;
    surface->GetSurfaceDesc(&desc);

    HDC surfaceDc = nullptr;
    HRESULT result = surface->GetDC(&surfaceDc);
    if (result == DD_OK) {
        StretchBlt(surfaceDc, 0, 0, static_cast<int>(desc.dwWidth), static_cast<int>(desc.dwHeight),
                   imageDc, x, y, sourceWidth, sourceHeight, SRCCOPY);
        surface->ReleaseDC(surfaceDc);
    }
    DeleteDC(imageDc);
    return result;
}

LPDIRECTDRAWPALETTE LoadSheetPalette(LPDIRECTDRAW dd, LPCSTR name) {
    PALETTEENTRY entries[PALETTE_ENTRIES];
    for (int i = 0; i < PALETTE_ENTRIES; i++) {
        entries[i].peRed = static_cast<BYTE>(((i >> 5) & 7) * 255 / 7);
        entries[i].peGreen = static_cast<BYTE>(((i >> 2) & 7) * 255 / 7);
        entries[i].peBlue = static_cast<BYTE>((i & 3) * 85);
        entries[i].peFlags = 0;
    }

    if (name != nullptr) {
        HRSRC resource = FindResourceA(nullptr, name, RT_BITMAP);
        if (resource != nullptr) {
            const BYTE* header =
                static_cast<const BYTE*>(LockResource(LoadResource(nullptr, resource)));
            if (header == nullptr) {
                OutputDebugStringA("lock resource failed\n");
            } else {
                // Never read past the resource, whatever its header claims.
                const DWORD available = SizeofResource(nullptr, resource);
                DWORD count = 0;
                const DWORD headerSize = available >= INFO_HEADER_SIZE ? ReadLe32(header) : 0;
                if (headerSize >= INFO_HEADER_SIZE && ReadLe16(header + 14) <= 8) {
                    count = ColourCount(ReadLe32(header + 32), ReadLe16(header + 14));
                }
                for (DWORD j = 0; j < count; j++) {
                    const DWORD at = headerSize + 4 * j;
                    // By subtraction: at + 4 wraps round for a header size near 4 GB.
                    if (at < headerSize || at > available || available - at < 4) {
                        break;
                    }
                    entries[j].peRed = header[at + 2];
                    entries[j].peGreen = header[at + 1];
                    entries[j].peBlue = header[at];
                    entries[j].peFlags = 0;
                }
            }
        } else {
            HFILE file = _lopen(name, OF_READ);
            if (file != HFILE_ERROR) {
                BYTE fileHeader[FILE_HEADER_SIZE];
                BYTE infoHeader[INFO_HEADER_SIZE];
                _lread(file, fileHeader, sizeof(fileHeader));
                const UINT infoRead = _lread(file, infoHeader, sizeof(infoHeader));
                _lread(file, entries, sizeof(entries));
                _lclose(file);
                if (infoRead == sizeof(infoHeader) && ReadLe32(infoHeader) == INFO_HEADER_SIZE &&
                    ReadLe16(infoHeader + 14) <= 8) {
                    const DWORD count =
                        ColourCount(ReadLe32(infoHeader + 32), ReadLe16(infoHeader + 14));
                    // The file holds blue, green, red, reserved: swap into red, green, blue
                    // and keep the fourth byte as the flags.
                    for (DWORD j = 0; j < count; j++) {
                        const BYTE blue = entries[j].peRed;
                        entries[j].peRed = entries[j].peBlue;
                        entries[j].peBlue = blue;
                    }
                }
            }
        }
    }

    LPDIRECTDRAWPALETTE palette = nullptr;
    if (dd->CreatePalette(DDPCAPS_8BIT, entries, &palette, nullptr) != DD_OK) {
        return nullptr;
    }
    return palette;
}
