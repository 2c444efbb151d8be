// The menu bar drawn by the layer at the top of a top-level window, loaded
// from a binary menu template, with drop-downs drawn over the client area.
#pragma once

#include <string>
#include <vector>

#include "platform/winuser.h"

namespace user {

struct MenuItem {
    UINT flags;  // MF_POPUP 0x10, MF_CHECKED 0x08, MF_GRAYED 0x01; 0 with id 0 and no text:
                 // separator
    UINT id;
    std::string text;  // with its '&' mnemonic marker
    std::vector<MenuItem> items;
};

struct Menu {
    std::vector<MenuItem> items;
};

constexpr UINT kMenuPopup = 0x10;
constexpr UINT kMenuEnd = 0x80;
constexpr UINT kMenuChecked = 0x08;
constexpr UINT kMenuGrayed = 0x01;

// Parses a binary menu template; null when it is malformed.
Menu* ParseMenu(const unsigned char* data, size_t size);
// The RT_MENU resource of the module; null when missing or malformed.
Menu* LoadMenuResource(HINSTANCE instance, LPCSTR name);
void DestroyMenu(Menu* menu);
HMENU MenuHandle(Menu* menu);

// Draws the bar into the window's framebuffer and shows it.
void DrawMenuBar(HWND window);
// Runs the menu until an item is chosen (WM_COMMAND is then posted) or the
// menu is left. `title` is the title to start on; `keyboard` starts with the
// bar highlighted only (F10) unless `openDropDown`.
void TrackMenuBar(HWND window, int title, bool keyboard, bool openDropDown);
// The title under a point of the window's framebuffer, or -1.
int MenuTitleAt(HWND window, int x, int y);
// The title whose mnemonic is the character, or -1.
int MenuTitleForMnemonic(HWND window, char c);
// Framebuffer rectangles for tests and hit testing.
bool MenuTitleRect(HWND window, int title, RECT* rect);
// The title an item sits under and where it shows while that drop-down is open.
bool MenuItemRect(HWND window, UINT id, int* title, RECT* rect);
// The index of a title by its text, '&' optional; -1 when none.
int MenuTitleIndex(HWND window, const char* text);
bool MenuTracking();

}  // namespace user
