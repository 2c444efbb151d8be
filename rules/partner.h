// The partner test shared by a click and the end-of-game scan.
#pragma once

#include "rules/board.h"

// Whether a neighbour of (x, y) inside the board holds the same value as
// (x, y). Empty cells match each other here; callers reject them themselves.
bool HasPartner(int x, int y);
