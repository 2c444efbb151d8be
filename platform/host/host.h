// The one internal interface between our Win32 layer and the host's windows,
// pointer, keyboard and event queue. Only host/ sees SDL; everything else
// talks to it through these plain types.
#pragma once

#include <cstdint>

namespace host {

// 0 is never a window; ids of windows already gone are tolerated everywhere.
typedef uint32_t WindowId;

// A window's pixels, 0x00RRGGBB, row after row.
struct Framebuffer {
    uint32_t* pixels;
    int pitch;  // in pixels
    int width;
    int height;
};

struct Rect {
    int x;
    int y;
    int width;
    int height;
};

// Starts the video host on first use. False when there is no display (or it
// failed once before); every other call then does nothing harmful.
bool VideoAvailable();
// True on SDL's dummy drivers (TUMBLA_HEADLESS=1 or SDL_VIDEODRIVER=dummy):
// the layer then tracks pointer and focus itself.
bool Headless();
void ScreenSize(int* width, int* height);

// Positions for CreateWindow.
constexpr int kPositionDefault = INT32_MIN;
constexpr int kPositionCentered = INT32_MIN + 1;

struct WindowOptions {
    const char* title;
    int x;  // screen position of the area's top-left corner, or a kPosition value
    int y;
    int width;  // the drawable area, title bar and frame excluded
    int height;
    bool dialog;  // a transient dialog for the window manager
};

// Created hidden. 0 when the host cannot make it.
WindowId CreateWindow(const WindowOptions& options);
void DestroyWindow(WindowId window);
void SetWindowTitle(WindowId window, const char* title);
// The title as the host holds it (what the window manager shows).
const char* WindowTitle(WindowId window);
// 32-bit 0xAARRGGBB pixels, row after row, top row first.
void SetWindowIcon(WindowId window, const uint32_t* argb, int width, int height);
void ShowWindow(WindowId window, bool show);
void MinimizeWindow(WindowId window);
void RestoreWindow(WindowId window);
void SetModalFor(WindowId dialog, WindowId owner);
void FocusWindow(WindowId window);
bool WindowShown(WindowId window);
// Screen position of the drawable area's top-left corner.
void WindowPosition(WindowId window, int* x, int* y);
void SetWindowPosition(WindowId window, int x, int y);
// The window at a screen point, topmost first as far as we know it.
WindowId WindowAt(int x, int y);

// The window's pixels; valid until the window is destroyed or its size
// changes. False for unknown windows.
bool GetFramebuffer(WindowId window, Framebuffer* framebuffer);
// Puts the rectangle of the framebuffer on the screen now, even while no
// events are being pumped.
void Present(WindowId window, const Rect& area);

// The pointer in screen coordinates: queried from the display server where
// that works, else the last position seen in (or injected as) an event.
void PointerPosition(int* x, int* y);
// Moves the tracked pointer (tests driving a headless layer).
void SetTrackedPointer(int x, int y);

enum Modifier : unsigned { kShift = 1, kControl = 2, kAlt = 4 };

enum class EventType {
    None,
    MouseDown,  // x, y window-relative; button 1 left, 3 right
    MouseUp,
    MouseMove,
    KeyDown,  // key = virtual-key code, modifiers
    KeyUp,
    Text,  // text = the typed characters as Latin-1 bytes
    Expose,
    FocusGained,
    FocusLost,
    Close,  // the window's close button
    Quit,   // the session or a signal asks the program to end
};

struct Event {
    EventType type;
    WindowId window;
    int x;
    int y;
    int button;
    unsigned key;
    unsigned modifiers;
    bool repeat;
    char text[32];
};

// False when no event is waiting.
bool PollEvent(Event* event);
// Blocks without using the processor until an event comes. False only when
// there is no video host to wait on.
bool WaitEvent(Event* event);

// Puts an event into the host's queue, so the whole path of a real one runs.
// Mouse positions are window-relative; the tracked pointer follows them.
void InjectEvent(const Event& event);

}  // namespace host
