// The few things SDL does not give us on X11, kept apart because Xlib's
// macros clash with ordinary names.
#pragma once

struct SDL_Window;

namespace host {

// False when the window is not on X11 or the query failed.
bool QueryX11Pointer(SDL_Window* window, int* x, int* y);
// Tells the window manager the window is a dialog; call before showing it.
void MarkX11Dialog(SDL_Window* window);

}  // namespace host
