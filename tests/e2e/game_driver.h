// Plays the whole game in this process on SDL's dummy drivers: WinMain runs
// as usual, and each time the game waits for input the next scripted step
// runs, looks at the game and acts like a player. The game ends the process
// itself (exit code 0 on every way out), so each script runs in a child
// process through a death test and ends by quitting.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/windef.h"
#include "rules/board.h"
#include "tests/support/file_bytes.h"

using Step = std::function<void()>;

// Never returns: the game ends the process, or a failed check does.
[[noreturn]] void RunGame(std::vector<Step> steps);
// The same, with `prepare` run first in the game's folder, once the
// environment is set and before the game starts: files to put in place,
// variables to change.
[[noreturn]] void RunGame(std::vector<Step> steps, Step prepare);
// The same, with one step run every time the game waits for input, for as
// long as the game runs: the step decides itself when to quit.
[[noreturn]] void RunGameEachIdle(Step onIdle);

// Inside a script a failed check ends the child at once with code 3, so the
// death test sees a wrong exit code and the message on standard error.
[[noreturn]] void CheckFailed(const char* condition, const std::string& detail, const char* file,
                              int line);
#define E2E_CHECK(condition)                                               \
    do {                                                                   \
        if (!(condition)) CheckFailed(#condition, "", __FILE__, __LINE__); \
    } while (0)
#define E2E_CHECK_EQ(a, b)                                                                       \
    do {                                                                                         \
        const auto& e2eA = (a);                                                                  \
        const auto& e2eB = (b);                                                                  \
        if (!(e2eA == e2eB))                                                                     \
            CheckFailed(#a " == " #b, ToText(e2eA) + " vs " + ToText(e2eB), __FILE__, __LINE__); \
    } while (0)

std::string ToText(const std::string& s);
std::string ToText(const char* s);
std::string ToText(long long v);
inline std::string ToText(int v) { return ToText(static_cast<long long>(v)); }
inline std::string ToText(long v) { return ToText(static_cast<long long>(v)); }
inline std::string ToText(unsigned v) { return ToText(static_cast<long long>(v)); }
inline std::string ToText(unsigned long v) { return ToText(static_cast<long long>(v)); }
// Window handles print as numbers.
std::string ToText(HWND window);

// Marks progress on standard error, for the death test's pattern.
void Say(const std::string& text);

// Rows of the board, top first, 20 characters each: B banana, A apple,
// C cherries, P pear, O orange, '.' empty.
void SetBoard(const std::vector<std::string>& rows);
std::vector<std::string> BoardRows();
// Bananas at the top left make a group of three, the cherries below them a
// pair; no other tile touches its own kind.
extern const std::vector<std::string> SAMPLE_BOARD;
// One pair at the bottom left and a lone apple: one click ends the game with
// a tile left on the board.
extern const std::vector<std::string> LAST_PAIR_BOARD;

// A cell's centre in client pixels.
inline int CentreX(int column) { return column * CELL_WIDTH + CELL_WIDTH / 2; }
inline int CentreY(int row) { return row * CELL_HEIGHT + CELL_HEIGHT / 2; }

// Esc, then Yes: the way every script leaves the game. Its death test then
// expects exit code 0 and QUIT_PATTERN as the last words on standard error.
std::vector<Step> QuitSteps();
extern const char* const QUIT_PATTERN;
std::vector<Step> Then(std::vector<Step> steps, const std::vector<Step>& more);
// The modal window on top, which must carry the given title.
HWND ModalTitled(const char* title);
// Asks the main window to repaint, as the window manager would.
void Repaint();
std::string Title();
uint32_t ClientPixel(int x, int y);
// A digest of the pixels of a cell on the screen (FNV-1a over the colours):
// every pixel, or every `step`-th across and down.
uint32_t CellPixels(int column, int row, int step = 1);
// The digest of a cell that is white all over, as an empty cell is drawn.
uint32_t AllWhiteCell(int step = 1);
// Whether "&Sounds" carries its check mark.
bool SoundsChecked();
// One line of a list box.
std::string ListText(HWND list, int index);
