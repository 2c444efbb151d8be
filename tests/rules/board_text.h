// Boards and mark grids as text, one line per row: 20 characters, '0' to '4'
// for tiles and '.' for an empty cell; marks as '#' and '.'.
#pragma once

#include <initializer_list>
#include <string>

#include "rules/board.h"

// Joins ten rows with newlines; the form BoardText and MarkText return.
std::string Rows(std::initializer_list<const char*> rows);
void SetBoard(const std::string& text);
std::string BoardText();
std::string MarkText();

// One column from top to bottom, in the same characters.
void SetColumn(int x, const char* topToBottom);
std::string ColumnText(int x);
// Sets every cell marked '#' in a Rows() text to the given kind.
void PlaceKind(const std::string& mask, CellKind kind);

void FillBoard(CellKind kind);
// Kinds 0 to 3 with no two neighbours alike, leaving kind 4 free for the
// tiles a test places.
void FillWithoutMoves();
