#include "display/display.h"

#include <cstdio>
#include <cstring>

#include "display/sprite_sheet.h"
#include "rules/board.h"
#include "shell/app.h"

LPDIRECTDRAW directDraw = nullptr;
LPDIRECTDRAWSURFACE primarySurface = nullptr;
LPDIRECTDRAWCLIPPER windowClipper = nullptr;
LPDIRECTDRAWSURFACE backBuffer = nullptr;

namespace {

// A restore pass redraws the board, and that redraw can meet a surface that
// is still lost (the screen cannot come back after a mode change, say). One
// level of nesting is allowed: the inner pass restores but does not redraw,
// so drawing always returns and the next paint shows the whole board.
const int MAX_RESTORE_DEPTH = 1;
int restoreDepth = 0;

RECT CellRect(int column, int row) {
    RECT rect;
    SetRect(&rect, CELL_WIDTH * column, CELL_HEIGHT * row, CELL_WIDTH * column + CELL_WIDTH,
            CELL_HEIGHT * row + CELL_HEIGHT);
    return rect;
}

void DescribeSurface(DDSURFACEDESC* desc, DWORD flags, DWORD caps) {
    std::memset(desc, 0, sizeof(*desc));
    desc->dwSize = sizeof(*desc);
    desc->dwFlags = flags;
    desc->ddsCaps.dwCaps = caps;
}

}  // namespace

BOOL CreateDirectDraw() {
    if (DirectDrawCreate(nullptr, &directDraw, nullptr) != DD_OK) {
        return FALSE;
    }
    directDraw->SetCooperativeLevel(mainWindow, DDSCL_NORMAL);
    return TRUE;
}

BOOL CreateSurfaces() {
    DDSURFACEDESC desc;
    DescribeSurface(&desc, DDSD_CAPS, DDSCAPS_PRIMARYSURFACE);
    if (directDraw->CreateSurface(&desc, &primarySurface, nullptr) != DD_OK) {
        return FALSE;
    }
    if (directDraw->CreateClipper(0, &windowClipper, nullptr) != DD_OK) {
        return FALSE;
    }
    if (windowClipper->SetHWnd(0, mainWindow) != DD_OK) {
        return FALSE;
    }
    if (primarySurface->SetClipper(windowClipper) != DD_OK) {
        return FALSE;
    }

    DescribeSurface(&desc, DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH, DDSCAPS_OFFSCREENPLAIN);
    desc.dwHeight = BACK_BUFFER_HEIGHT;
    desc.dwWidth = BACK_BUFFER_WIDTH;
    if (directDraw->CreateSurface(&desc, &backBuffer, nullptr) != DD_OK) {
        backBuffer = nullptr;
    }

    sheetPalette = LoadSheetPalette(directDraw, spriteSheetName);
    if (sheetPalette != nullptr) {
        primarySurface->SetPalette(sheetPalette);
    }
    return TRUE;
}

void DrawBoard() {
    if (backBuffer == nullptr) {
        return;
    }
    if (sheetPalette != nullptr) {
        backBuffer->SetPalette(sheetPalette);
    }
    if (gameState.lastShownPoints != gameState.points || gameState.lastShownPoints == -1) {
        char title[80];
        std::snprintf(title, sizeof(title), "Tumbla - %ld points",
                      static_cast<long>(gameState.points));
        SetWindowTextA(mainWindow, title);
    }
    gameState.lastShownPoints = gameState.points;

    for (int row = 0; row < BOARD_ROWS; row++) {
        for (int column = 0; column < BOARD_COLUMNS; column++) {
            RECT destination = CellRect(column, row);
            RECT source = TileSourceRect(gameState.board[CELL_INDEX(column, row)]);
            if (backBuffer->Blt(&destination, spriteSheet, &source, DDBLT_WAIT, nullptr) ==
                DDERR_SURFACELOST) {
                RestoreSurfaces();
            }
        }
    }
    PresentBackBuffer();
}

void DrawExplosionFrame(int frame, int column, int row) {
    if (backBuffer == nullptr) {
        return;
    }
    RECT destination = CellRect(column, row);
    RECT source = ExplosionSourceRect(frame);
    backBuffer->Blt(&destination, spriteSheet, &source, DDBLT_WAIT, nullptr);
}

void PresentBackBuffer() {
    if (backBuffer == nullptr) {
        return;
    }
    if (sheetPalette != nullptr) {
        backBuffer->SetPalette(sheetPalette);
    }
    POINT origin = {0, 0};
    ClientToScreen(mainWindow, &origin);
    RECT destination;
    SetRect(&destination, 0, 0, BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT);
    OffsetRect(&destination, origin.x, origin.y);
    RECT source;
    SetRect(&source, 0, 0, BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT);
    if (primarySurface == nullptr) {
        return;
    }
    if (primarySurface->Blt(&destination, backBuffer, &source, DDBLT_WAIT, nullptr) ==
        DDERR_SURFACELOST) {
        RestoreSurfaces();
    }
}

HRESULT RestoreSurfaces() {
    HRESULT result = DD_OK;
    if (primarySurface != nullptr) {
        result = primarySurface->Restore();
    }
    if (result == DD_OK && backBuffer != nullptr) {
        result = backBuffer->Restore();
    }
    if (result == DD_OK && spriteSheet != nullptr) {
        result = spriteSheet->Restore();
        if (result == DD_OK) {
            ReloadSpriteSheet(spriteSheet, spriteSheetName);
        }
    }
    if (restoreDepth < MAX_RESTORE_DEPTH) {
        restoreDepth++;
        DrawBoard();
        restoreDepth--;
    }
    return result;
}

void ReleaseDisplay() {
    if (directDraw == nullptr) {
        return;
    }
    if (primarySurface != nullptr) {
        primarySurface->Release();
        primarySurface = nullptr;
    }
    if (spriteSheet != nullptr) {
        spriteSheet->Release();
        spriteSheet = nullptr;
    }
    if (sheetPalette != nullptr) {
        sheetPalette->Release();
        sheetPalette = nullptr;
    }
    // The back buffer and the clipper go with the DirectDraw object; only the
    // references are dropped so nothing can reach them afterwards.
    directDraw->Release();
    directDraw = nullptr;
    backBuffer = nullptr;
    windowClipper = nullptr;
}
