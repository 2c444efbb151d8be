#include <cstdlib>

#include "display/display.h"
#include "platform/win32.h"
#include "rules/board.h"
#include "rules/partner.h"
#include "scores/high_scores.h"
#include "shell/app.h"

// Enough for the longest run of empty columns (19) to close, since a pass
// only halves a run: 19, 9, 4, 2, 1, 0.
#define COLUMN_CLOSING_PASSES 11

namespace {

void DropTiles() {
    // Top down, so a tile that has just fallen into a hole is never met
    // again in this sweep and one sweep leaves no gaps.
    for (int x = 0; x < BOARD_COLUMNS; ++x) {
        CellKind* column = &gameState.board[CELL_INDEX(x, 0)];
        for (int r = 1; r < BOARD_ROWS; ++r) {
            if (column[r] != EMPTY_CELL) continue;
            for (int s = r; s > 0; --s) {
                column[s] = column[s - 1];
            }
            column[0] = EMPTY_CELL;
        }
    }
}

void CloseEmptyColumns() {
    // After the fall a column is empty exactly when its bottom cell is.
    for (int pass = 0; pass < COLUMN_CLOSING_PASSES; ++pass) {
        for (int x = 1; x < BOARD_COLUMNS; ++x) {
            if (gameState.board[CELL_INDEX(x - 1, BOARD_ROWS - 1)] != EMPTY_CELL) continue;
            for (int c = x; c < BOARD_COLUMNS; ++c) {
                for (int r = 0; r < BOARD_ROWS; ++r) {
                    gameState.board[CELL_INDEX(c - 1, r)] = gameState.board[CELL_INDEX(c, r)];
                    gameState.board[CELL_INDEX(c, r)] = EMPTY_CELL;
                }
            }
        }
    }
}

}  // namespace

void SettleBoard() {
    DropTiles();
    CloseEmptyColumns();
}

void CheckForMoves() {
    gameState.tilesRemain = 0;
    for (int x = 0; x < BOARD_COLUMNS; ++x) {
        for (int y = 0; y < BOARD_ROWS; ++y) {
            const CellKind kind = gameState.board[CELL_INDEX(x, y)];
            if (kind == EMPTY_CELL) continue;
            if (HasPartner(x, y)) return;
            gameState.tilesRemain = 1;
        }
    }

    // No move left. The final board goes on screen before the score is
    // recorded, so the player sees it behind the high-score dialogs.
    DrawBoard();
    RecordHighScore();
    if (MessageBoxA(mainWindow, "Game Over - Play again ?", "Tumbla", MB_YESNO | MB_ICONQUESTION) ==
        IDNO) {
        // Nothing to tidy: the score file is already written, and the system
        // takes the window and the display objects with the process.
        exit(0);
    }
    // Any other answer, including a box that could not be shown, plays on.
    NewGame();
    ClearMarks();
    DrawBoard();
}
