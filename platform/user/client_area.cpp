#include "platform/user/client_area.h"

#include "platform/host/host.h"
#include "platform/user/window.h"

bool DisplayAvailable() { return host::VideoAvailable(); }

bool LockClientArea(HWND window, ClientArea* area) {
    user::Window* w = user::Lookup(window);
    if (!w || w->parent || !w->visible || !area) return false;
    host::Framebuffer fb{};
    if (!host::GetFramebuffer(w->host, &fb)) return false;
    const int width = w->rect.right - w->rect.left;
    int height = w->rect.bottom - w->rect.top;
    if (w->menuBarHeight + height > fb.height) height = fb.height - w->menuBarHeight;
    if (height < 0) height = 0;
    area->pixels = fb.pixels + static_cast<ptrdiff_t>(w->menuBarHeight) * fb.pitch;
    area->pitch = fb.pitch;
    area->width = width < fb.width ? width : fb.width;
    area->height = height;
    area->origin = POINT{0, 0};
    ClientToScreen(window, &area->origin);
    return true;
}

void UnlockClientArea(HWND window, const RECT* changed) {
    user::Window* w = user::Lookup(window);
    if (!w || w->parent) return;
    RECT r = changed ? *changed : w->rect;
    host::Present(w->host,
                  host::Rect{r.left, r.top + w->menuBarHeight, r.right - r.left, r.bottom - r.top});
}
