#include "platform/host/x11.h"

#include <SDL.h>
#include <SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#endif

namespace host {

#if defined(SDL_VIDEO_DRIVER_X11)
static bool X11Info(SDL_Window* window, SDL_SysWMinfo* info) {
    SDL_VERSION(&info->version);
    return window && SDL_GetWindowWMInfo(window, info) && info->subsystem == SDL_SYSWM_X11;
}

// SDL's global mouse state is only as fresh as the last event pump, and the
// board reads the pointer in the middle of long handlers: ask the server.
bool QueryX11Pointer(SDL_Window* window, int* x, int* y) {
    SDL_SysWMinfo info;
    if (!X11Info(window, &info)) return false;
    Window root = 0;
    Window child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned int mask = 0;
    if (!XQueryPointer(info.info.x11.display, info.info.x11.window, &root, &child, &rootX, &rootY,
                       &winX, &winY, &mask)) {
        return false;
    }
    *x = rootX;
    *y = rootY;
    return true;
}

void MarkX11Dialog(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (!X11Info(window, &info)) return;
    Display* display = info.info.x11.display;
    Atom type = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
    Atom dialog = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(display, info.info.x11.window, type, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&dialog), 1);
}
#else
bool QueryX11Pointer(SDL_Window*, int*, int*) { return false; }
void MarkX11Dialog(SDL_Window*) {}
#endif

}  // namespace host
