// Test controls of our layer, for headless whole-program and layer tests.
// Not part of the Windows API: the game never includes this.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/windef.h"

namespace platform_testing {

enum Modifier : unsigned { kShift = 1, kControl = 2, kAlt = 4 };

// Called whenever any message loop of the layer (GetMessageA, a message box,
// a dialog box, the menu) has nothing to do and would block. The hook looks at
// the state and injects the next input; an empty function removes it.
void SetIdleHook(std::function<void()> hook);

// Mouse input, sent through the host's event queue so that the whole path
// runs. The tracked pointer (what GetCursorPos reads headless) moves along.
// Client coordinates of `window`; the event goes to its top-level window.
void MouseMoveClient(HWND window, int x, int y);
void MouseDownClient(HWND window, int x, int y);
void MouseUpClient(HWND window, int x, int y);
void ClickClient(HWND window, int x, int y);  // move, press, release
// Screen coordinates: the topmost shown window there takes the event.
// False when no window of ours is there (the pointer still moves).
bool ClickScreen(int x, int y);
void MovePointerScreen(int x, int y);

// Keys by virtual-key code to the top-level window that has the focus (or to
// `window`'s top-level when given). `text` is what the host's text input
// would report; PressKey makes it up for plain letters, digits and space.
void KeyDown(UINT vk, unsigned modifiers = 0, const char* text = nullptr, HWND window = nullptr);
void KeyUp(UINT vk, unsigned modifiers = 0, HWND window = nullptr);
void PressKey(UINT vk, unsigned modifiers = 0, HWND window = nullptr);
// Each character as a key press with its text (letters, digits, space,
// punctuation of a US keyboard).
void TypeText(const char* text, HWND window = nullptr);

// The menu bar of a top-level window: a click on a title ("&Game" or
// "Game"), and a whole choice (click the title, then the item).
bool ClickMenuTitle(HWND window, const char* title);
bool ChooseMenuItem(HWND window, UINT id);
// Where an item shows while its drop-down is open, in screen coordinates.
bool MenuItemScreenPoint(HWND window, UINT id, POINT* point);
bool MenuOpen();

// Presses and releases the mouse on the button of the open message box that
// returns `result` (IDOK, IDYES, IDNO). False when there is no such button.
bool ClickMessageBoxButton(int result);

// What the window manager and the session would send.
void Expose(HWND window);
void RequestClose(HWND window);
void FocusGained(HWND window);
void FocusLost(HWND window);
void RequestQuit();

// Top-level windows in creation order, shown or hidden.
std::vector<HWND> TopLevelWindows();
// The innermost modal window (message box, dialog box) still open, or null.
HWND ActiveModalWindow();
// The first top-level window whose host title is exactly `title`.
HWND FindTopLevel(const char* title);
// The title the host shows for the window's top-level window.
std::string HostTitle(HWND window);
bool IsShown(HWND window);
// A pixel of the window's client area (0x00RRGGBB); false outside it.
bool ReadClientPixel(HWND window, int x, int y, uint32_t* rgb);
// A pixel of the top-level's whole drawable area, menu bar included.
bool ReadFramePixel(HWND window, int x, int y, uint32_t* rgb);

}  // namespace platform_testing
