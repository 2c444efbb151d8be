// What the layer's tests share: a headless host, a main window like the
// game's (class menu 101, the size rule) and a log of what its procedure saw.
#pragma once

#include <functional>
#include <vector>

#include "platform/testing.h"
#include "platform/win32.h"

namespace support {

struct Seen {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

extern std::vector<Seen> seen;
constexpr WORD kMenuId = 101;

// The recording window procedure: answers WM_GETMINMAXINFO with the size
// rule, passes everything else to DefWindowProcA.
LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// A shown, painted main window of 300 x 300 asked for, with the menu.
HWND CreateMainWindow();
// A plain top-level window without menu.
HWND CreatePlainWindow(const char* title);
// Fetches and dispatches until the loop would block; returns the messages
// GetMessageA handed out (including WM_CHAR made by TranslateMessage).
std::vector<MSG> PumpUntilIdle(HWND filter = nullptr);
int Count(HWND window, UINT message);
// Runs `step` at each idle of any loop, with a safety stop: after `limit`
// idle calls the open message box is closed and a quit is requested.
void OnIdle(std::function<void(int)> step, int limit = 50);
void ClearIdle();

}  // namespace support
