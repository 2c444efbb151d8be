// The layer's own record of every window: top-level windows own a host
// window and framebuffer, child windows draw into their top-level's.
// Shared by messages, menus, message boxes, dialogs and controls.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/host/host.h"
#include "platform/winuser.h"

// Messages and codes the game never names but the layer routes internally.
#define WM_NCHITTEST 0x0084
#define HTTRANSPARENT (-1)
#define WM_NCMOUSEMOVE 0x00A0
#define WM_NCLBUTTONDOWN 0x00A1
#define WM_NCLBUTTONUP 0x00A2
#define HTMENU 5
#define SC_CLOSE 0xF060
#define SC_MOUSEMENU 0xF090
#define SC_KEYMENU 0xF100
#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002

namespace user {

struct Menu;

struct Window {
    HWND handle;
    WNDPROC proc;
    UINT classStyle;
    HBRUSH background;
    DWORD style;
    DWORD exStyle;
    HWND parent;  // child windows only
    HWND owner;   // owned top-level windows (dialogs, message boxes)
    int id;       // a child's control identifier
    std::string text;
    RECT rect;  // child: in its parent's client area; top-level: client area at 0,0
    host::WindowId host;
    Menu* menu;
    int menuBarHeight;
    bool enabled;
    bool visible;
    bool needsPaint;
    bool destroying;
    HWND focusChild;  // top-level: where focus returns on activation
    void* extra;      // owned by whoever made the window (dialog manager, message box)
};

// Null for handles that are not (or no longer) windows.
Window* Lookup(HWND window);
Window* LookupHost(host::WindowId id);
// Creation order, parents before their children.
const std::vector<std::unique_ptr<Window>>& Windows();
HWND TopLevelOf(HWND window);
// True when `window` is `ancestor` or lies inside it.
bool IsWithin(HWND window, HWND ancestor);
// Where client pixel (0,0) of the window sits in its top-level's framebuffer.
POINT ClientOriginInFrame(HWND window);
bool TopFramebuffer(HWND window, host::Framebuffer* framebuffer);
// Shows a rectangle given in the top-level's framebuffer coordinates.
void PresentFrame(HWND window, const RECT& area);
// Marks the window and its children as needing WM_PAINT.
void Invalidate(HWND window);
// Sets the focus without activating the host window.
void ChangeFocus(HWND window);

constexpr int kMenuBarHeight = 20;

}  // namespace user
