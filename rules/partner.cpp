#include "rules/partner.h"

bool HasPartner(int x, int y) {
    const CellKind* board = gameState.board;
    const CellKind kind = board[CELL_INDEX(x, y)];
    // The edge tests matter: in the flat array the bottom of one column is
    // followed by the top of the next, and those two never touch.
    if (x != BOARD_COLUMNS - 1 && board[CELL_INDEX(x + 1, y)] == kind) return true;
    if (x != 0 && board[CELL_INDEX(x - 1, y)] == kind) return true;
    if (y != BOARD_ROWS - 1 && board[CELL_INDEX(x, y + 1)] == kind) return true;
    if (y != 0 && board[CELL_INDEX(x, y - 1)] == kind) return true;
    return false;
}
