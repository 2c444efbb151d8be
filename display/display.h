// The display objects and everything that puts the board on the screen.
#pragma once

#include "platform/directdraw.h"

extern LPDIRECTDRAW directDraw;
extern LPDIRECTDRAWSURFACE primarySurface;
extern LPDIRECTDRAWCLIPPER windowClipper;
extern LPDIRECTDRAWSURFACE backBuffer;

#define BACK_BUFFER_WIDTH 640
#define BACK_BUFFER_HEIGHT 480

BOOL CreateDirectDraw();
BOOL CreateSurfaces();
void DrawBoard();
void DrawExplosionFrame(int frame, int column, int row);
void PresentBackBuffer();
HRESULT RestoreSurfaces();
void ReleaseDisplay();
