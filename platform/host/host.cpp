#include "platform/host/host.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/host/x11.h"

namespace host {
namespace {

struct HostWindow {
    WindowId id;
    SDL_Window* sdl;
    std::string title;
    bool shown;
    unsigned long raised;  // larger is nearer the top
    // Used only when the host's surface is not 32-bit xRGB.
    std::vector<uint32_t> shadow;
};

enum class VideoState { Untried, Ready, Failed };

VideoState videoState = VideoState::Untried;
bool headless = false;
std::vector<HostWindow> windows;
unsigned long raiseCounter = 0;
int pointerX = 0;
int pointerY = 0;

HostWindow* Find(WindowId id) {
    if (id == 0) return nullptr;
    for (HostWindow& w : windows) {
        if (w.id == id) return &w;
    }
    return nullptr;
}

bool EnvironmentSays(const char* name, const char* value) {
    const char* set = std::getenv(name);
    return set && std::strcmp(set, value) == 0;
}

struct KeyPair {
    SDL_Keycode sdl;
    unsigned vk;
};

// Keys the game, the menus and the dialogs use; letters and digits are mapped
// by range.
const KeyPair kKeys[] = {
    {SDLK_BACKSPACE, 0x08},    {SDLK_TAB, 0x09},         {SDLK_RETURN, 0x0D},
    {SDLK_KP_ENTER, 0x0D},     {SDLK_LSHIFT, 0x10},      {SDLK_RSHIFT, 0x10},
    {SDLK_LCTRL, 0x11},        {SDLK_RCTRL, 0x11},       {SDLK_LALT, 0x12},
    {SDLK_RALT, 0x12},         {SDLK_PAUSE, 0x13},       {SDLK_CAPSLOCK, 0x14},
    {SDLK_ESCAPE, 0x1B},       {SDLK_SPACE, 0x20},       {SDLK_PAGEUP, 0x21},
    {SDLK_PAGEDOWN, 0x22},     {SDLK_END, 0x23},         {SDLK_HOME, 0x24},
    {SDLK_LEFT, 0x25},         {SDLK_UP, 0x26},          {SDLK_RIGHT, 0x27},
    {SDLK_DOWN, 0x28},         {SDLK_INSERT, 0x2D},      {SDLK_DELETE, 0x2E},
    {SDLK_KP_0, 0x60},         {SDLK_KP_1, 0x61},        {SDLK_KP_2, 0x62},
    {SDLK_KP_3, 0x63},         {SDLK_KP_4, 0x64},        {SDLK_KP_5, 0x65},
    {SDLK_KP_6, 0x66},         {SDLK_KP_7, 0x67},        {SDLK_KP_8, 0x68},
    {SDLK_KP_9, 0x69},         {SDLK_KP_MULTIPLY, 0x6A}, {SDLK_KP_PLUS, 0x6B},
    {SDLK_KP_MINUS, 0x6D},     {SDLK_KP_PERIOD, 0x6E},   {SDLK_KP_DIVIDE, 0x6F},
    {SDLK_SEMICOLON, 0xBA},    {SDLK_EQUALS, 0xBB},      {SDLK_COMMA, 0xBC},
    {SDLK_MINUS, 0xBD},        {SDLK_PERIOD, 0xBE},      {SDLK_SLASH, 0xBF},
    {SDLK_BACKQUOTE, 0xC0},    {SDLK_LEFTBRACKET, 0xDB}, {SDLK_BACKSLASH, 0xDC},
    {SDLK_RIGHTBRACKET, 0xDD}, {SDLK_QUOTE, 0xDE},
};

unsigned VirtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + static_cast<unsigned>(key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + static_cast<unsigned>(key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return 0x70 + static_cast<unsigned>(key - SDLK_F1);
    for (const KeyPair& pair : kKeys) {
        if (pair.sdl == key) return pair.vk;
    }
    return 0;
}

SDL_Keycode SdlKey(unsigned vk) {
    if (vk >= 'A' && vk <= 'Z') return SDLK_a + static_cast<SDL_Keycode>(vk - 'A');
    if (vk >= '0' && vk <= '9') return SDLK_0 + static_cast<SDL_Keycode>(vk - '0');
    if (vk >= 0x70 && vk <= 0x7B) return SDLK_F1 + static_cast<SDL_Keycode>(vk - 0x70);
    for (const KeyPair& pair : kKeys) {
        if (pair.vk == vk) return pair.sdl;
    }
    return SDLK_UNKNOWN;
}

unsigned Modifiers(Uint16 mod) {
    unsigned result = 0;
    if (mod & KMOD_SHIFT) result |= kShift;
    if (mod & KMOD_CTRL) result |= kControl;
    if (mod & KMOD_ALT) result |= kAlt;
    return result;
}

Uint16 SdlModifiers(unsigned modifiers) {
    Uint16 mod = 0;
    if (modifiers & kShift) mod |= KMOD_LSHIFT;
    if (modifiers & kControl) mod |= KMOD_LCTRL;
    if (modifiers & kAlt) mod |= KMOD_LALT;
    return mod;
}

void TrackPointer(WindowId id, int x, int y) {
    HostWindow* w = Find(id);
    if (!w) return;
    int wx = 0, wy = 0;
    SDL_GetWindowPosition(w->sdl, &wx, &wy);
    pointerX = wx + x;
    pointerY = wy + y;
}

// UTF-8 from SDL's text input into the Latin-1 bytes the game works in;
// characters beyond Latin-1 are dropped.
void Latin1FromUtf8(const char* utf8, char* out, size_t outSize) {
    size_t n = 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8);
    while (*p && n + 1 < outSize) {
        unsigned code = 0;
        int extra = 0;
        if (*p < 0x80) {
            code = *p;
        } else if ((*p & 0xE0) == 0xC0) {
            code = *p & 0x1F;
            extra = 1;
        } else if ((*p & 0xF0) == 0xE0) {
            code = *p & 0x0F;
            extra = 2;
        } else {
            code = *p & 0x07;
            extra = 3;
        }
        ++p;
        for (int i = 0; i < extra && (*p & 0xC0) == 0x80; ++i, ++p)
            code = (code << 6) | (*p & 0x3F);
        if (code >= 0x20 && code <= 0xFF && code != 0x7F) out[n++] = static_cast<char>(code);
    }
    out[n] = '\0';
}

void Utf8FromLatin1(const char* latin1, char* out, size_t outSize) {
    size_t n = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(latin1); *p; ++p) {
        if (*p < 0x80) {
            if (n + 1 >= outSize) break;
            out[n++] = static_cast<char>(*p);
        } else {
            if (n + 2 >= outSize) break;
            out[n++] = static_cast<char>(0xC0 | (*p >> 6));
            out[n++] = static_cast<char>(0x80 | (*p & 0x3F));
        }
    }
    out[n] = '\0';
}

// False for SDL events the layer has no use for.
bool Translate(const SDL_Event& in, Event* out) {
    *out = Event{};
    switch (in.type) {
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            out->type = in.type == SDL_MOUSEBUTTONDOWN ? EventType::MouseDown : EventType::MouseUp;
            out->window = in.button.windowID;
            out->x = in.button.x;
            out->y = in.button.y;
            out->button = in.button.button;
            out->modifiers = Modifiers(static_cast<Uint16>(SDL_GetModState()));
            TrackPointer(out->window, out->x, out->y);
            return true;
        case SDL_MOUSEMOTION:
            out->type = EventType::MouseMove;
            out->window = in.motion.windowID;
            out->x = in.motion.x;
            out->y = in.motion.y;
            TrackPointer(out->window, out->x, out->y);
            return true;
        case SDL_MOUSEWHEEL:
            out->type = EventType::Wheel;
            out->window = in.wheel.windowID;
            out->wheel = in.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -in.wheel.y : in.wheel.y;
            out->x = in.wheel.mouseX;
            out->y = in.wheel.mouseY;
            return out->wheel != 0;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            out->type = in.type == SDL_KEYDOWN ? EventType::KeyDown : EventType::KeyUp;
            out->window = in.key.windowID;
            out->key = VirtualKey(in.key.keysym.sym);
            out->modifiers = Modifiers(in.key.keysym.mod);
            out->repeat = in.key.repeat != 0;
            return out->key != 0;
        case SDL_TEXTINPUT:
            out->type = EventType::Text;
            out->window = in.text.windowID;
            Latin1FromUtf8(in.text.text, out->text, sizeof out->text);
            return out->text[0] != '\0';
        case SDL_WINDOWEVENT:
            out->window = in.window.windowID;
            switch (in.window.event) {
                case SDL_WINDOWEVENT_EXPOSED:
                    out->type = EventType::Expose;
                    return true;
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    out->type = EventType::FocusGained;
                    return true;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    out->type = EventType::FocusLost;
                    return true;
                case SDL_WINDOWEVENT_CLOSE:
                    out->type = EventType::Close;
                    return true;
                default:
                    return false;
            }
        case SDL_QUIT:
            out->type = EventType::Quit;
            return true;
        default:
            return false;
    }
}

}  // namespace

bool Headless() {
    VideoAvailable();
    return headless;
}

bool VideoAvailable() {
    if (videoState != VideoState::Untried) return videoState == VideoState::Ready;
    headless =
        EnvironmentSays("TUMBLA_HEADLESS", "1") || EnvironmentSays("SDL_VIDEODRIVER", "dummy");
    if (headless) SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    // Without this SDL puts an OpenGL renderer behind the window surface and
    // recreates the X window, losing its modal hints and costing 100 MB.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // The first click into an inactive window must count, as on Windows.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // Closing the last window is the program's decision (WM_CLOSE), not SDL's.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        videoState = VideoState::Failed;
        return false;
    }
    // Without a display server SDL falls back to its offscreen driver, where
    // the game would run on, invisible, for ever. Only asked for by name is
    // it a display.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!headless && driver && std::strcmp(driver, "offscreen") == 0 &&
        !EnvironmentSays("SDL_VIDEODRIVER", "offscreen")) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        videoState = VideoState::Failed;
        return false;
    }
    videoState = VideoState::Ready;
    return true;
}

void ScreenSize(int* width, int* height) {
    *width = 0;
    *height = 0;
    if (!VideoAvailable()) return;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        *width = mode.w;
        *height = mode.h;
    }
}

WindowId CreateWindow(const WindowOptions& options) {
    if (!VideoAvailable()) return 0;
    int x = options.x == kPositionDefault    ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED)
            : options.x == kPositionCentered ? static_cast<int>(SDL_WINDOWPOS_CENTERED)
                                             : options.x;
    int y = options.y == kPositionDefault    ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED)
            : options.y == kPositionCentered ? static_cast<int>(SDL_WINDOWPOS_CENTERED)
                                             : options.y;
    Uint32 flags = SDL_WINDOW_HIDDEN;
    SDL_Window* sdl = SDL_CreateWindow(options.title ? options.title : "", x, y,
                                       options.width > 0 ? options.width : 1,
                                       options.height > 0 ? options.height : 1, flags);
    if (!sdl) return 0;
    if (options.dialog) MarkX11Dialog(sdl);
    HostWindow w{};
    w.id = SDL_GetWindowID(sdl);
    w.sdl = sdl;
    w.title = options.title ? options.title : "";
    windows.push_back(std::move(w));
    return windows.back().id;
}

void DestroyWindow(WindowId window) {
    for (size_t i = 0; i < windows.size(); ++i) {
        if (windows[i].id == window) {
            SDL_DestroyWindow(windows[i].sdl);
            windows.erase(windows.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
    }
}

void SetWindowTitle(WindowId window, const char* title) {
    HostWindow* w = Find(window);
    if (!w) return;
    w->title = title ? title : "";
    // The window manager wants UTF-8; our texts are Latin-1.
    char utf8[512];
    Utf8FromLatin1(w->title.c_str(), utf8, sizeof utf8);
    SDL_SetWindowTitle(w->sdl, utf8);
}

const char* WindowTitle(WindowId window) {
    HostWindow* w = Find(window);
    return w ? w->title.c_str() : "";
}

void SetWindowIcon(WindowId window, const uint32_t* argb, int width, int height) {
    HostWindow* w = Find(window);
    if (!w || !argb || width <= 0 || height <= 0) return;
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(argb), width, height, 32, width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!icon) return;
    SDL_SetWindowIcon(w->sdl, icon);
    SDL_FreeSurface(icon);
}

void ShowWindow(WindowId window, bool show) {
    HostWindow* w = Find(window);
    if (!w) return;
    if (show) {
        SDL_ShowWindow(w->sdl);
        w->raised = ++raiseCounter;
    } else {
        SDL_HideWindow(w->sdl);
    }
    w->shown = show;
}

void MinimizeWindow(WindowId window) {
    if (HostWindow* w = Find(window)) SDL_MinimizeWindow(w->sdl);
}

void RestoreWindow(WindowId window) {
    if (HostWindow* w = Find(window)) SDL_RestoreWindow(w->sdl);
}

void SetModalFor(WindowId dialog, WindowId owner) {
    HostWindow* d = Find(dialog);
    HostWindow* o = Find(owner);
    if (d && o) SDL_SetWindowModalFor(d->sdl, o->sdl);
}

void FocusWindow(WindowId window) {
    HostWindow* w = Find(window);
    if (!w) return;
    w->raised = ++raiseCounter;
    if (headless) return;
    SDL_RaiseWindow(w->sdl);
    SDL_SetWindowInputFocus(w->sdl);
}

bool WindowShown(WindowId window) {
    HostWindow* w = Find(window);
    return w && w->shown;
}

void WindowPosition(WindowId window, int* x, int* y) {
    *x = 0;
    *y = 0;
    if (HostWindow* w = Find(window)) SDL_GetWindowPosition(w->sdl, x, y);
}

void SetWindowPosition(WindowId window, int x, int y) {
    if (HostWindow* w = Find(window)) SDL_SetWindowPosition(w->sdl, x, y);
}

WindowId WindowAt(int x, int y) {
    const HostWindow* best = nullptr;
    for (const HostWindow& w : windows) {
        if (!w.shown) continue;
        int wx = 0, wy = 0, ww = 0, wh = 0;
        SDL_GetWindowPosition(w.sdl, &wx, &wy);
        SDL_GetWindowSize(w.sdl, &ww, &wh);
        if (x < wx || y < wy || x >= wx + ww || y >= wy + wh) continue;
        if (!best || w.raised > best->raised) best = &w;
    }
    return best ? best->id : 0;
}

bool GetFramebuffer(WindowId window, Framebuffer* framebuffer) {
    HostWindow* w = Find(window);
    if (!w) return false;
    SDL_Surface* surface = SDL_GetWindowSurface(w->sdl);
    if (!surface) return false;
    if (surface->format->format == SDL_PIXELFORMAT_RGB888 ||
        surface->format->format == SDL_PIXELFORMAT_ARGB8888) {
        w->shadow.clear();
        framebuffer->pixels = static_cast<uint32_t*>(surface->pixels);
        framebuffer->pitch = surface->pitch / 4;
    } else {
        w->shadow.resize(static_cast<size_t>(surface->w) * static_cast<size_t>(surface->h));
        framebuffer->pixels = w->shadow.data();
        framebuffer->pitch = surface->w;
    }
    framebuffer->width = surface->w;
    framebuffer->height = surface->h;
    return true;
}

void Present(WindowId window, const Rect& area) {
    HostWindow* w = Find(window);
    if (!w) return;
    SDL_Surface* surface = SDL_GetWindowSurface(w->sdl);
    if (!surface) return;
    SDL_Rect r{area.x, area.y, area.width, area.height};
    SDL_Rect whole{0, 0, surface->w, surface->h};
    SDL_Rect clipped;
    if (!SDL_IntersectRect(&r, &whole, &clipped)) return;
    if (!w->shadow.empty() &&
        w->shadow.size() == static_cast<size_t>(surface->w) * static_cast<size_t>(surface->h)) {
        const uint32_t* from = w->shadow.data() + clipped.y * surface->w + clipped.x;
        uint8_t* to = static_cast<uint8_t*>(surface->pixels) + clipped.y * surface->pitch +
                      clipped.x * surface->format->BytesPerPixel;
        SDL_ConvertPixels(clipped.w, clipped.h, SDL_PIXELFORMAT_RGB888, from, surface->w * 4,
                          surface->format->format, to, surface->pitch);
    }
    SDL_UpdateWindowSurfaceRects(w->sdl, &clipped, 1);
}

void PointerPosition(int* x, int* y) {
    if (!headless && !windows.empty() && QueryX11Pointer(windows.front().sdl, x, y)) return;
    *x = pointerX;
    *y = pointerY;
}

void LastPointerPosition(int* x, int* y) {
    *x = pointerX;
    *y = pointerY;
}

void SetTrackedPointer(int x, int y) {
    pointerX = x;
    pointerY = y;
}

// SDL_PollEvent ends every pump cycle with a false return even when events
// were pushed behind it; taking events straight from the queue does not.
bool PollEvent(Event* event) {
    if (videoState != VideoState::Ready) return false;
    SDL_Event in;
    for (;;) {
        if (SDL_PeepEvents(&in, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) <= 0) {
            SDL_PumpEvents();
            if (SDL_PeepEvents(&in, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) <= 0)
                return false;
        }
        if (Translate(in, event)) return true;
    }
}

bool WaitEvent(Event* event) {
    if (videoState != VideoState::Ready) return false;
    SDL_Event in;
    while (SDL_WaitEvent(&in)) {
        if (Translate(in, event)) return true;
    }
    return false;
}

void InjectEvent(const Event& event) {
    if (!VideoAvailable()) return;
    SDL_Event out;
    std::memset(&out, 0, sizeof out);
    switch (event.type) {
        case EventType::MouseDown:
        case EventType::MouseUp:
            out.type = event.type == EventType::MouseDown ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
            out.button.windowID = event.window;
            out.button.button = static_cast<Uint8>(event.button ? event.button : SDL_BUTTON_LEFT);
            out.button.state = event.type == EventType::MouseDown ? SDL_PRESSED : SDL_RELEASED;
            out.button.clicks = 1;
            out.button.x = event.x;
            out.button.y = event.y;
            TrackPointer(event.window, event.x, event.y);
            break;
        case EventType::MouseMove:
            out.type = SDL_MOUSEMOTION;
            out.motion.windowID = event.window;
            out.motion.x = event.x;
            out.motion.y = event.y;
            TrackPointer(event.window, event.x, event.y);
            break;
        case EventType::Wheel:
            out.type = SDL_MOUSEWHEEL;
            out.wheel.windowID = event.window;
            out.wheel.y = event.wheel;
            out.wheel.preciseY = static_cast<float>(event.wheel);
            out.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
            out.wheel.mouseX = event.x;
            out.wheel.mouseY = event.y;
            TrackPointer(event.window, event.x, event.y);
            break;
        case EventType::KeyDown:
        case EventType::KeyUp:
            out.type = event.type == EventType::KeyDown ? SDL_KEYDOWN : SDL_KEYUP;
            out.key.windowID = event.window;
            out.key.state = event.type == EventType::KeyDown ? SDL_PRESSED : SDL_RELEASED;
            out.key.repeat = event.repeat ? 1 : 0;
            out.key.keysym.sym = SdlKey(event.key);
            out.key.keysym.scancode = SDL_GetScancodeFromKey(out.key.keysym.sym);
            out.key.keysym.mod = SdlModifiers(event.modifiers);
            break;
        case EventType::Text:
            out.type = SDL_TEXTINPUT;
            out.text.windowID = event.window;
            Utf8FromLatin1(event.text, out.text.text, sizeof out.text.text);
            break;
        case EventType::Expose:
        case EventType::FocusGained:
        case EventType::FocusLost:
        case EventType::Close:
            out.type = SDL_WINDOWEVENT;
            out.window.windowID = event.window;
            out.window.event = static_cast<Uint8>(
                event.type == EventType::Expose        ? SDL_WINDOWEVENT_EXPOSED
                : event.type == EventType::FocusGained ? SDL_WINDOWEVENT_FOCUS_GAINED
                : event.type == EventType::FocusLost   ? SDL_WINDOWEVENT_FOCUS_LOST
                                                       : SDL_WINDOWEVENT_CLOSE);
            break;
        case EventType::Quit:
            out.type = SDL_QUIT;
            break;
        case EventType::None:
            return;
    }
    SDL_PushEvent(&out);
}

}  // namespace host
