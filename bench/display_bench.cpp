// Speed of the game's own drawing: the real display/ code over the real
// DirectDraw layer, with the real sprite sheet from the program's resources,
// into a real window of the layer on SDL's dummy video driver (headless), so
// presentation goes all the way to a host framebuffer.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

#include "display/display.h"
#include "display/sprite_sheet.h"
#include "platform/win32.h"
#include "resources/resource.h"
#include "rules/board.h"
#include "shell/app.h"

// The display reads these from the rules and the shell; the bench stands in
// for both.
GameState gameState;
HWND mainWindow = nullptr;
HINSTANCE appInstance = nullptr;

namespace {

LRESULT CALLBACK BenchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETMINMAXINFO) {
        // The board exactly, as the game's size rule asks.
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = BOARD_COLUMNS * CELL_WIDTH;
        info->ptMinTrackSize.y = BOARD_ROWS * CELL_HEIGHT + GetSystemMetrics(SM_CYMENU);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The game's start-up, minus the message loop.
bool OpenDisplay() {
    if (mainWindow != nullptr) return backBuffer != nullptr && spriteSheet != nullptr;
    setenv("TUMBLA_HEADLESS", "1", 1);
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = BenchProc;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDR_MENU);
    windowClass.lpszClassName = "TumblaBench";
    RegisterClassA(&windowClass);
    mainWindow =
        CreateWindowExA(0, "TumblaBench", "Tumbla", WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                        CW_USEDEFAULT, 300, 300, nullptr, nullptr, nullptr, nullptr);
    if (mainWindow == nullptr || !CreateDirectDraw()) return false;
    ShowWindow(mainWindow, SW_SHOWNORMAL);
    UpdateWindow(mainWindow);
    std::strcpy(spriteSheetName, "IDB_TUMBLA");
    if (!CreateSurfaces() || backBuffer == nullptr) return false;
    spriteSheet = LoadSpriteSheet(directDraw, spriteSheetName, 0, 0);
    if (spriteSheet == nullptr) return false;
    // A full board of every kind, so every tile's scaled region is in use.
    for (int i = 0; i < BOARD_CELLS; ++i)
        gameState.board[i] = (i * 7 + i / BOARD_ROWS) % KIND_COUNT;
    gameState.points = 0;
    gameState.lastShownPoints = -1;
    return true;
}

// 200 cells into the back buffer, presented to the window.
void BM_DrawBoard(benchmark::State& state) {
    if (!OpenDisplay()) {
        state.SkipWithError("no display");
        return;
    }
    for (auto _ : state) DrawBoard();
}
BENCHMARK(BM_DrawBoard);

// One frame of a removal's explosion over a group of ten cells (a column of
// eight and two beside it), then presented, as the animation does per frame.
void BM_ExplosionFrame(benchmark::State& state) {
    if (!OpenDisplay()) {
        state.SkipWithError("no display");
        return;
    }
    static const int group[10][2] = {{4, 2}, {4, 3}, {4, 4}, {4, 5}, {4, 6},
                                     {4, 7}, {4, 8}, {4, 9}, {5, 9}, {3, 9}};
    int frame = 0;
    for (auto _ : state) {
        for (const auto& cell : group) DrawExplosionFrame(frame, cell[0], cell[1]);
        PresentBackBuffer();
        frame = (frame + 1) % 5;
    }
}
BENCHMARK(BM_ExplosionFrame);

// What start-up pays for the sheet: the bitmap resource decoded and converted
// through GDI onto a new surface.
void BM_LoadSpriteSheet(benchmark::State& state) {
    if (!OpenDisplay()) {
        state.SkipWithError("no display");
        return;
    }
    for (auto _ : state) {
        LPDIRECTDRAWSURFACE sheet = LoadSpriteSheet(directDraw, spriteSheetName, 0, 0);
        if (sheet == nullptr) {
            state.SkipWithError("sheet did not load");
            return;
        }
        sheet->Release();
    }
}
BENCHMARK(BM_LoadSpriteSheet);

}  // namespace

BENCHMARK_MAIN();
