#include <cstdint>

#include "display/display.h"
#include "platform/win32.h"
#include "rules/board.h"
#include "rules/partner.h"
#include "shell/app.h"
#include "shell/sound.h"

#define POINTS_PER_TILE 5
#define EXPLOSION_FRAMES 5
#define FRAME_HOLD_MS 50

namespace {

// The neighbour of a marked cell that joins the group next, or -1. Left,
// right, above, below: the order decides which tile each restart adds.
int NextGroupCell(int x, int y) {
    const int cell = CELL_INDEX(x, y);
    const CellKind kind = gameState.board[cell];
    if (kind == EMPTY_CELL) return -1;
    const int candidates[4] = {
        x != 0 ? CELL_INDEX(x - 1, y) : -1,
        x != BOARD_COLUMNS - 1 ? CELL_INDEX(x + 1, y) : -1,
        y != 0 ? CELL_INDEX(x, y - 1) : -1,
        y != BOARD_ROWS - 1 ? CELL_INDEX(x, y + 1) : -1,
    };
    for (int candidate : candidates) {
        if (candidate >= 0 && gameState.board[candidate] == kind &&
            gameState.marks[candidate] == 0) {
            return candidate;
        }
    }
    return -1;
}

// Whole-board scans, restarting after every tile added: no queue, stack or
// recursion, and a single-kind board costs at most 200 scans.
void GrowMarkedGroup() {
    int x = 0;
    int y = 0;
    while (y < BOARD_ROWS) {
        if (gameState.marks[CELL_INDEX(x, y)] == 1) {
            const int added = NextGroupCell(x, y);
            if (added >= 0) {
                gameState.marks[added] = 1;
                x = 0;
                y = 0;
                continue;
            }
        }
        if (++x == BOARD_COLUMNS) {
            x = 0;
            ++y;
        }
    }
}

int32_t GroupBonus(int32_t tileCount) {
    if (tileCount >= 7) return 20;
    if (tileCount >= 5) return 10;
    if (tileCount >= 3) return 5;
    return 0;
}

// Busy on purpose: the whole move runs inside one message and fetches none.
// The difference is unsigned so a counter that wraps meanwhile still works.
void HoldFrame() {
    const DWORD start = GetTickCount();
    while (static_cast<DWORD>(GetTickCount() - start) <= FRAME_HOLD_MS) {
    }
}

}  // namespace

void OnBoardClick() {
    // The cursor now, not the message's position: a click that waited in the
    // queue behind an animation lands where the pointer is when it is handled.
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    POINT origin = {0, 0};
    ClientToScreen(mainWindow, &origin);

    // Computed wide so that absurd coordinates cannot overflow; truncation
    // toward zero makes the first 29 (39) pixels left of (above) the board
    // still count as column (row) 0.
    const int64_t dx = static_cast<int64_t>(cursor.x) - origin.x;
    const int64_t dy = static_cast<int64_t>(cursor.y) - origin.y;
    const int64_t column = dx / CELL_WIDTH;
    const int64_t row = dy / CELL_HEIGHT;
    if (column < 0 || column >= BOARD_COLUMNS || row < 0 || row >= BOARD_ROWS) return;

    const int x = static_cast<int>(column);
    const int y = static_cast<int>(row);
    if (!HasPartner(x, y)) return;
    // Two empty cells side by side pass the partner test but are no group.
    if (gameState.board[CELL_INDEX(x, y)] == EMPTY_CELL) return;

    gameState.marks[CELL_INDEX(x, y)] = 1;
    GrowMarkedGroup();
    PlayExplodeSound();
    ExplodeMarked();
}

void ExplodeMarked() {
    // Without a back buffer nothing can be shown, so nothing is removed; the
    // marks stay until the next click clears them.
    if (backBuffer == nullptr) return;

    int32_t tileCount = 0;
    for (int frame = 0; frame < EXPLOSION_FRAMES; ++frame) {
        // Row by row, so the frames are drawn in reading order. The cells are
        // emptied in the first frame, before anything is shown, so a redraw
        // during the animation already shows the holes.
        for (int y = 0; y < BOARD_ROWS; ++y) {
            for (int x = 0; x < BOARD_COLUMNS; ++x) {
                const int cell = CELL_INDEX(x, y);
                if (gameState.marks[cell] != 1) continue;
                if (frame == 0) {
                    gameState.points += POINTS_PER_TILE;
                    ++tileCount;
                }
                gameState.board[cell] = EMPTY_CELL;
                DrawExplosionFrame(frame, x, y);
            }
        }
        HoldFrame();
        PresentBackBuffer();
    }
    gameState.points += GroupBonus(tileCount);

    ClearMarks();
    SettleBoard();
    CheckForMoves();
}
