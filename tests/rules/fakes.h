// Stand-ins for what the rules call in the display, the shell, the scores and
// the platform. Each call is logged in order, with the score and the flag as
// they were at the moment of the call, so tests can assert sequences.
#pragma once

#include <string>
#include <vector>

#include "platform/directdraw.h"
#include "platform/win32.h"
#include "rules/board.h"

namespace fakes {

struct Call {
    std::string text;  // e.g. "DrawExplosionFrame 0 3 4", "GetTickCount"
    int32_t points;
    int32_t tilesRemain;
    int marked;  // marks set at the moment of the call
};

// Off for benchmarks: nothing is recorded and nothing allocated.
extern bool logging;
// Death tests: each call is also written to stderr as one line.
extern bool echoToStderr;
extern std::vector<Call> log;

extern POINT cursor;
extern POINT clientOrigin;
extern HWND clientToScreenWindow;

// GetTickCount returns tickNow and then advances it by tickStep.
extern DWORD tickNow;
extern DWORD tickStep;
extern std::vector<DWORD> tickReads;

extern int messageBoxAnswer;
extern HWND messageBoxOwner;

// The board as it was at the first PresentBackBuffer since Reset.
extern bool presented;
extern Board boardAtFirstPresent;

// A surface pointer that is never dereferenced: the rules only test it for null.
LPDIRECTDRAWSURFACE DummySurface();

// Clears the log and restores the defaults: a back buffer, cursor and origin
// at (0, 0), ticks from 1000 in steps of 7, the answer Yes.
void Reset();

std::vector<std::string> Texts();

}  // namespace fakes
