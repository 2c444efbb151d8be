// GDI, just enough to load the sprite sheet: DIB sections with their colour
// table, memory and surface device contexts, and a stretching copy.
#pragma once

#include "platform/windef.h"

#ifndef _WIN32

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

#pragma pack(push, 2)
struct BITMAPFILEHEADER {
    WORD bfType;
    DWORD bfSize;
    WORD bfReserved1;
    WORD bfReserved2;
    DWORD bfOffBits;
};
#pragma pack(pop)

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct PALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
};
typedef PALETTEENTRY* LPPALETTEENTRY;

#define BI_RGB 0L
#define SRCCOPY 0x00CC0020L

int WINAPI GetObjectA(HANDLE object, int size, LPVOID buffer);
HDC WINAPI CreateCompatibleDC(HDC dc);
HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object);
BOOL WINAPI StretchBlt(HDC destination, int xDest, int yDest, int widthDest, int heightDest,
                       HDC source, int xSrc, int ySrc, int widthSrc, int heightSrc, DWORD rop);
BOOL WINAPI DeleteDC(HDC dc);
BOOL WINAPI DeleteObject(HGDIOBJ object);

#endif  // _WIN32
