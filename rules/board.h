// The game state and the rules' operations: deal, group selection, removal,
// scoring, settling and the end of a game.
#pragma once

#include <cstdint>

#define BOARD_COLUMNS 20
#define BOARD_ROWS 10
#define BOARD_CELLS (BOARD_COLUMNS * BOARD_ROWS)
#define KIND_COUNT 5
#define EMPTY_CELL 5

#define CELL_WIDTH 30
#define CELL_HEIGHT 40

// 0 banana, 1 apple, 2 cherries, 3 pear, 4 orange, EMPTY_CELL.
typedef int32_t CellKind;

// Column by column: the cell in column x, row y is element x * BOARD_ROWS + y.
typedef CellKind Board[BOARD_CELLS];
typedef int32_t MarkGrid[BOARD_CELLS];

#define CELL_INDEX(x, y) ((x) * BOARD_ROWS + (y))

struct GameState {
    Board board;
    MarkGrid marks;
    int32_t points;
    int32_t tilesRemain;
    int32_t lastShownPoints;
};

extern GameState gameState;

// Deals a new board seeded from the clock; points and tilesRemain become 0.
void NewGame();
// NewGame with a given seed instead of the clock.
void NewGameFromSeed(uint32_t seed);
void ClearMarks();
void OnBoardClick();
void ExplodeMarked();
void SettleBoard();
void CheckForMoves();
