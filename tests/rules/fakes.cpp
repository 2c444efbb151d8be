#include "tests/rules/fakes.h"

#include <cstdio>
#include <cstring>

#include "display/display.h"
#include "scores/high_scores.h"
#include "shell/app.h"
#include "shell/sound.h"

namespace fakes {

bool logging = true;
bool echoToStderr = false;
std::vector<Call> log;
POINT cursor = {0, 0};
POINT clientOrigin = {0, 0};
HWND clientToScreenWindow = nullptr;
DWORD tickNow = 1000;
DWORD tickStep = 7;
std::vector<DWORD> tickReads;
int messageBoxAnswer = IDYES;
HWND messageBoxOwner = nullptr;
bool presented = false;
Board boardAtFirstPresent = {};

namespace {

alignas(16) unsigned char dummySurfaceBytes[64];
HWND__ dummyMainWindow;

void Record(const std::string& text) {
    if (!logging) return;
    int marked = 0;
    for (int cell = 0; cell < BOARD_CELLS; ++cell) marked += gameState.marks[cell] != 0;
    log.push_back({text, gameState.points, gameState.tilesRemain, marked});
    if (echoToStderr) std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace

LPDIRECTDRAWSURFACE DummySurface() {
    return reinterpret_cast<LPDIRECTDRAWSURFACE>(dummySurfaceBytes);
}

void Reset() {
    logging = true;
    echoToStderr = false;
    log.clear();
    cursor = {0, 0};
    clientOrigin = {0, 0};
    clientToScreenWindow = nullptr;
    tickNow = 1000;
    tickStep = 7;
    tickReads.clear();
    messageBoxAnswer = IDYES;
    messageBoxOwner = nullptr;
    presented = false;
    backBuffer = DummySurface();
}

std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (const Call& call : log) texts.push_back(call.text);
    return texts;
}

}  // namespace fakes

LPDIRECTDRAWSURFACE backBuffer = fakes::DummySurface();
HWND mainWindow = &fakes::dummyMainWindow;

void DrawBoard() { fakes::Record("DrawBoard"); }

void DrawExplosionFrame(int frame, int column, int row) {
    if (!fakes::logging) return;
    fakes::Record("DrawExplosionFrame " + std::to_string(frame) + " " + std::to_string(column) +
                  " " + std::to_string(row));
}

void PresentBackBuffer() {
    fakes::Record("PresentBackBuffer");
    if (!fakes::presented) {
        fakes::presented = true;
        std::memcpy(fakes::boardAtFirstPresent, gameState.board, sizeof(Board));
    }
}

void RecordHighScore() { fakes::Record("RecordHighScore"); }

void PlayExplodeSound() { fakes::Record("PlayExplodeSound"); }

BOOL WINAPI GetCursorPos(LPPOINT point) {
    fakes::Record("GetCursorPos");
    *point = fakes::cursor;
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND window, LPPOINT point) {
    fakes::Record("ClientToScreen");
    fakes::clientToScreenWindow = window;
    point->x += fakes::clientOrigin.x;
    point->y += fakes::clientOrigin.y;
    return TRUE;
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    fakes::Record(std::string("MessageBoxA ") + text + "|" + caption + "|" + std::to_string(type));
    fakes::messageBoxOwner = owner;
    return fakes::messageBoxAnswer;
}

DWORD WINAPI GetTickCount(void) {
    const DWORD now = fakes::tickNow;
    fakes::tickNow += fakes::tickStep;
    if (fakes::logging) {
        fakes::tickReads.push_back(now);
        fakes::Record("GetTickCount");
    }
    return now;
}
