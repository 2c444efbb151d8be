#include "rules/board.h"

#include <ctime>

#include "rules/random.h"

// -1 so that the very first DrawBoard writes the window title.
GameState gameState = {{}, {}, 0, 0, -1};

void NewGame() {
    // Only the low 32 bits of the calendar time seed the deal, so two deals in
    // the same second are the same board.
    NewGameFromSeed(static_cast<uint32_t>(time(nullptr)));
}

void NewGameFromSeed(uint32_t seed) {
    gameState.points = 0;
    gameState.tilesRemain = 0;
    deal::srand(seed);
    // Drawn row by row although stored column by column: the order of the
    // draws is what makes a seed's board.
    for (int y = 0; y < BOARD_ROWS; ++y) {
        for (int x = 0; x < BOARD_COLUMNS; ++x) {
            gameState.board[CELL_INDEX(x, y)] = deal::rand() % KIND_COUNT;
        }
    }
}

void ClearMarks() {
    for (int cell = 0; cell < BOARD_CELLS; ++cell) {
        gameState.marks[cell] = 0;
    }
}
