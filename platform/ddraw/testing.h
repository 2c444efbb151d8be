// Test hooks into DirectDraw: causing surface loss on demand, counting
// blits, and looking at what is otherwise hidden behind the interfaces.
// Only tests include this.
#pragma once

#include <cstdint>

#include "platform/directdraw.h"

// Marks one surface as having lost its memory; false if it is not a live one.
bool DDrawTestLoseSurface(LPDIRECTDRAWSURFACE surface);
// Marks every live surface lost, as the host does on a new framebuffer.
void DDrawTestLoseAllSurfaces();
// The n-th Blt call from now (1: the very next) first marks every surface
// lost, so that it and the blits after it see DDERR_SURFACELOST until each
// surface is restored. 0 disarms.
void DDrawTestLoseAllSurfacesAtBlt(unsigned n);
// Blt calls since the start or the last reset, whatever their result.
unsigned long DDrawTestBlitCount();
void DDrawTestResetBlitCount();
// Live DirectDraw objects, surfaces, clippers and palettes together.
int DDrawTestLiveObjectCount();
// An off-screen surface's pixels (0x00RRGGBB, row after row, *pitch pixels
// apart) for a test to read or write; reaching them counts as a change of
// content. Null for the primary surface or anything that is not a surface.
uint32_t* DDrawTestSurfacePixels(LPDIRECTDRAWSURFACE surface, int* pitch);
// Copies a palette's 256 entries; false if it is not a live palette.
bool DDrawTestPaletteEntries(LPDIRECTDRAWPALETTE palette, PALETTEENTRY entries[256]);
// What a surface has attached, or null.
LPDIRECTDRAWPALETTE DDrawTestSurfacePalette(LPDIRECTDRAWSURFACE surface);
LPDIRECTDRAWCLIPPER DDrawTestSurfaceClipper(LPDIRECTDRAWSURFACE surface);
// The window a clipper is bound to, or null.
HWND DDrawTestClipperWindow(LPDIRECTDRAWCLIPPER clipper);
