// The sprite sheet: the bitmap's regions, its surface and its palette.
#pragma once

#include "platform/directdraw.h"
#include "platform/win32.h"

extern LPDIRECTDRAWPALETTE sheetPalette;
extern LPDIRECTDRAWSURFACE spriteSheet;
extern char spriteSheetName[80];

RECT TileSourceRect(int kind);
RECT ExplosionSourceRect(int frame);

LPDIRECTDRAWSURFACE LoadSpriteSheet(LPDIRECTDRAW dd, LPCSTR name, int width, int height);
HRESULT ReloadSpriteSheet(LPDIRECTDRAWSURFACE surface, LPCSTR name);
HRESULT ddcopybitmap(LPDIRECTDRAWSURFACE surface, HBITMAP bitmap, int x, int y, int width,
                     int height);
LPDIRECTDRAWPALETTE LoadSheetPalette(LPDIRECTDRAW dd, LPCSTR name);
