#include "tests/rules/board_text.h"

#include <stdexcept>

std::string Rows(std::initializer_list<const char*> rows) {
    if (rows.size() != BOARD_ROWS) throw std::invalid_argument("a board has ten rows");
    std::string text;
    for (const char* row : rows) {
        if (std::string(row).size() != BOARD_COLUMNS) {
            throw std::invalid_argument("a row has twenty cells");
        }
        if (!text.empty()) text += '\n';
        text += row;
    }
    return text;
}

void SetBoard(const std::string& text) {
    if (text.size() != BOARD_ROWS * (BOARD_COLUMNS + 1) - 1) {
        throw std::invalid_argument("not a board");
    }
    for (int y = 0; y < BOARD_ROWS; ++y) {
        for (int x = 0; x < BOARD_COLUMNS; ++x) {
            const char c = text[y * (BOARD_COLUMNS + 1) + x];
            gameState.board[CELL_INDEX(x, y)] = c == '.' ? EMPTY_CELL : c - '0';
        }
    }
}

std::string BoardText() {
    std::string text;
    for (int y = 0; y < BOARD_ROWS; ++y) {
        if (y != 0) text += '\n';
        for (int x = 0; x < BOARD_COLUMNS; ++x) {
            const CellKind kind = gameState.board[CELL_INDEX(x, y)];
            text += kind == EMPTY_CELL ? '.' : static_cast<char>('0' + kind);
        }
    }
    return text;
}

std::string MarkText() {
    std::string text;
    for (int y = 0; y < BOARD_ROWS; ++y) {
        if (y != 0) text += '\n';
        for (int x = 0; x < BOARD_COLUMNS; ++x) {
            const int32_t mark = gameState.marks[CELL_INDEX(x, y)];
            text += mark == 0 ? '.' : mark == 1 ? '#' : '?';
        }
    }
    return text;
}

void SetColumn(int x, const char* topToBottom) {
    if (std::string(topToBottom).size() != BOARD_ROWS) {
        throw std::invalid_argument("a column has ten cells");
    }
    for (int y = 0; y < BOARD_ROWS; ++y) {
        const char c = topToBottom[y];
        gameState.board[CELL_INDEX(x, y)] = c == '.' ? EMPTY_CELL : c - '0';
    }
}

std::string ColumnText(int x) {
    std::string text;
    for (int y = 0; y < BOARD_ROWS; ++y) {
        const CellKind kind = gameState.board[CELL_INDEX(x, y)];
        text += kind == EMPTY_CELL ? '.' : static_cast<char>('0' + kind);
    }
    return text;
}

void PlaceKind(const std::string& mask, CellKind kind) {
    if (mask.size() != BOARD_ROWS * (BOARD_COLUMNS + 1) - 1)
        throw std::invalid_argument("not a mask");
    for (int y = 0; y < BOARD_ROWS; ++y) {
        for (int x = 0; x < BOARD_COLUMNS; ++x) {
            if (mask[y * (BOARD_COLUMNS + 1) + x] == '#') gameState.board[CELL_INDEX(x, y)] = kind;
        }
    }
}

void FillBoard(CellKind kind) {
    for (int cell = 0; cell < BOARD_CELLS; ++cell) gameState.board[cell] = kind;
}

void FillWithoutMoves() {
    for (int x = 0; x < BOARD_COLUMNS; ++x) {
        for (int y = 0; y < BOARD_ROWS; ++y) {
            gameState.board[CELL_INDEX(x, y)] = (x + 2 * y) % 4;
        }
    }
}
