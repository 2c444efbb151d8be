#include "platform/testing.h"

#include <cstring>

#include "platform/host/host.h"
#include "platform/user/menu.h"
#include "platform/user/message_box.h"
#include "platform/user/message.h"
#include "platform/user/modal.h"
#include "platform/user/window.h"

namespace platform_testing {
namespace {

user::Window* Top(HWND window) { return user::Lookup(user::TopLevelOf(window)); }

void Mouse(host::EventType type, HWND window, int x, int y) {
    user::Window* top = Top(window);
    if (!top) return;
    POINT origin = user::ClientOriginInFrame(window);
    host::Event e{};
    e.type = type;
    e.window = top->host;
    e.x = x + origin.x;
    e.y = y + origin.y;
    e.button = 1;
    host::InjectEvent(e);
}

void FrameMouse(host::EventType type, host::WindowId id, int x, int y) {
    host::Event e{};
    e.type = type;
    e.window = id;
    e.x = x;
    e.y = y;
    e.button = 1;
    host::InjectEvent(e);
}

host::WindowId KeyTarget(HWND window) {
    if (user::Window* top = Top(window)) return top->host;
    if (user::Window* top = Top(GetFocus())) return top->host;
    if (user::Window* top = Top(user::ActiveModal())) return top->host;
    for (const auto& w : user::Windows()) {
        if (!w->parent && w->visible) return w->host;
    }
    return 0;
}

void WindowEvent(host::EventType type, HWND window) {
    user::Window* top = Top(window);
    if (!top) return;
    host::Event e{};
    e.type = type;
    e.window = top->host;
    host::InjectEvent(e);
}

// How a character is typed on a US keyboard.
bool KeyForCharacter(char c, UINT* vk, unsigned* modifiers) {
    *modifiers = 0;
    if (c >= 'a' && c <= 'z') {
        *vk = static_cast<UINT>(c - 'a' + 'A');
        return true;
    }
    if (c >= 'A' && c <= 'Z') {
        *vk = static_cast<UINT>(c);
        *modifiers = kShift;
        return true;
    }
    if (c >= '0' && c <= '9') {
        *vk = static_cast<UINT>(c);
        return true;
    }
    if (c == ' ') {
        *vk = VK_SPACE;
        return true;
    }
    static const char plain[] = ";=,-./`[\\]'";
    static const char shifted[] = ":+<_>?~{|}\"";
    static const UINT keys[] = {0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0, 0xDB, 0xDC, 0xDD, 0xDE};
    for (size_t i = 0; i < sizeof keys / sizeof keys[0]; ++i) {
        if (c == plain[i]) {
            *vk = keys[i];
            return true;
        }
        if (c == shifted[i]) {
            *vk = keys[i];
            *modifiers = kShift;
            return true;
        }
    }
    static const char digitsShifted[] = ")!@#$%^&*(";
    for (int i = 0; i < 10; ++i) {
        if (c == digitsShifted[i]) {
            *vk = static_cast<UINT>('0' + i);
            *modifiers = kShift;
            return true;
        }
    }
    return false;
}

}  // namespace

void SetIdleHook(std::function<void()> hook) { user::SetIdleHook(std::move(hook)); }

void MouseMoveClient(HWND window, int x, int y) { Mouse(host::EventType::MouseMove, window, x, y); }
void MouseDownClient(HWND window, int x, int y) { Mouse(host::EventType::MouseDown, window, x, y); }
void MouseUpClient(HWND window, int x, int y) { Mouse(host::EventType::MouseUp, window, x, y); }

void ClickClient(HWND window, int x, int y) {
    MouseMoveClient(window, x, y);
    MouseDownClient(window, x, y);
    MouseUpClient(window, x, y);
}

bool ClickScreen(int x, int y) {
    host::SetTrackedPointer(x, y);
    host::WindowId id = host::WindowAt(x, y);
    if (!id) return false;
    int wx = 0, wy = 0;
    host::WindowPosition(id, &wx, &wy);
    FrameMouse(host::EventType::MouseMove, id, x - wx, y - wy);
    FrameMouse(host::EventType::MouseDown, id, x - wx, y - wy);
    FrameMouse(host::EventType::MouseUp, id, x - wx, y - wy);
    return true;
}

void MovePointerScreen(int x, int y) {
    host::SetTrackedPointer(x, y);
    host::WindowId id = host::WindowAt(x, y);
    if (!id) return;
    int wx = 0, wy = 0;
    host::WindowPosition(id, &wx, &wy);
    FrameMouse(host::EventType::MouseMove, id, x - wx, y - wy);
}

void KeyDown(UINT vk, unsigned modifiers, const char* text, HWND window) {
    host::Event e{};
    e.type = host::EventType::KeyDown;
    e.window = KeyTarget(window);
    e.key = vk;
    e.modifiers = modifiers;
    host::InjectEvent(e);
    if (text && *text) {
        host::Event t{};
        t.type = host::EventType::Text;
        t.window = e.window;
        std::strncpy(t.text, text, sizeof t.text - 1);
        host::InjectEvent(t);
    }
}

void KeyUp(UINT vk, unsigned modifiers, HWND window) {
    host::Event e{};
    e.type = host::EventType::KeyUp;
    e.window = KeyTarget(window);
    e.key = vk;
    e.modifiers = modifiers;
    host::InjectEvent(e);
}

void PressKey(UINT vk, unsigned modifiers, HWND window) {
    char text[2] = {0, 0};
    // What a desktop's text input reports: printable keys without Ctrl or Alt.
    if (!(modifiers & (kControl | kAlt))) {
        if (vk >= 'A' && vk <= 'Z')
            text[0] = static_cast<char>((modifiers & kShift) ? vk : vk - 'A' + 'a');
        if (vk >= '0' && vk <= '9' && !(modifiers & kShift)) text[0] = static_cast<char>(vk);
        if (vk == VK_SPACE) text[0] = ' ';
    }
    KeyDown(vk, modifiers, text, window);
    KeyUp(vk, modifiers, window);
}

void TypeText(const char* text, HWND window) {
    for (const char* p = text ? text : ""; *p; ++p) {
        UINT vk = 0;
        unsigned modifiers = 0;
        char one[2] = {*p, 0};
        if (!KeyForCharacter(*p, &vk, &modifiers)) {
            // No key for it: the host still reports the text.
            host::Event t{};
            t.type = host::EventType::Text;
            t.window = KeyTarget(window);
            std::strncpy(t.text, one, sizeof t.text - 1);
            host::InjectEvent(t);
            continue;
        }
        KeyDown(vk, modifiers, one, window);
        KeyUp(vk, modifiers, window);
    }
}

bool ClickMenuTitle(HWND window, const char* title) {
    HWND top = user::TopLevelOf(window);
    int index = user::MenuTitleIndex(top, title);
    RECT r{};
    if (index < 0 || !user::MenuTitleRect(top, index, &r)) return false;
    host::WindowId id = user::Lookup(top)->host;
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    FrameMouse(host::EventType::MouseMove, id, x, y);
    FrameMouse(host::EventType::MouseDown, id, x, y);
    FrameMouse(host::EventType::MouseUp, id, x, y);
    return true;
}

bool ChooseMenuItem(HWND window, UINT id) {
    HWND top = user::TopLevelOf(window);
    int title = -1;
    RECT item{}, head{};
    if (!user::MenuItemRect(top, id, &title, &item) || !user::MenuTitleRect(top, title, &head)) {
        return false;
    }
    host::WindowId host = user::Lookup(top)->host;
    FrameMouse(host::EventType::MouseDown, host, (head.left + head.right) / 2,
               (head.top + head.bottom) / 2);
    FrameMouse(host::EventType::MouseUp, host, (head.left + head.right) / 2,
               (head.top + head.bottom) / 2);
    const int x = (item.left + item.right) / 2, y = (item.top + item.bottom) / 2;
    FrameMouse(host::EventType::MouseMove, host, x, y);
    FrameMouse(host::EventType::MouseDown, host, x, y);
    FrameMouse(host::EventType::MouseUp, host, x, y);
    return true;
}

bool MenuItemScreenPoint(HWND window, UINT id, POINT* point) {
    HWND top = user::TopLevelOf(window);
    int title = -1;
    RECT item{};
    if (!point || !user::MenuItemRect(top, id, &title, &item)) return false;
    int wx = 0, wy = 0;
    host::WindowPosition(user::Lookup(top)->host, &wx, &wy);
    *point = POINT{wx + (item.left + item.right) / 2, wy + (item.top + item.bottom) / 2};
    return true;
}

bool MenuOpen() { return user::MenuTracking(); }

bool ClickMessageBoxButton(int result) {
    for (const auto& w : user::Windows()) {
        RECT r{};
        if (!w->destroying && user::MessageBoxButtonRect(w->handle, result, &r)) {
            ClickClient(w->handle, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
            return true;
        }
    }
    return false;
}

void Expose(HWND window) { WindowEvent(host::EventType::Expose, window); }
void RequestClose(HWND window) { WindowEvent(host::EventType::Close, window); }
void FocusGained(HWND window) { WindowEvent(host::EventType::FocusGained, window); }
void FocusLost(HWND window) { WindowEvent(host::EventType::FocusLost, window); }

void RequestQuit() {
    host::Event e{};
    e.type = host::EventType::Quit;
    host::InjectEvent(e);
}

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> result;
    for (const auto& w : user::Windows()) {
        if (!w->parent && !w->destroying) result.push_back(w->handle);
    }
    return result;
}

HWND ActiveModalWindow() { return user::ActiveModal(); }

HWND FindTopLevel(const char* title) {
    for (const auto& w : user::Windows()) {
        if (!w->parent && !w->destroying && title &&
            std::strcmp(host::WindowTitle(w->host), title) == 0) {
            return w->handle;
        }
    }
    return nullptr;
}

std::string HostTitle(HWND window) {
    user::Window* top = Top(window);
    return top ? host::WindowTitle(top->host) : std::string();
}

bool IsShown(HWND window) {
    user::Window* top = Top(window);
    return top && host::WindowShown(top->host);
}

bool ReadFramePixel(HWND window, int x, int y, uint32_t* rgb) {
    host::Framebuffer fb{};
    if (!rgb || !user::TopFramebuffer(window, &fb)) return false;
    if (x < 0 || y < 0 || x >= fb.width || y >= fb.height) return false;
    *rgb = fb.pixels[static_cast<ptrdiff_t>(y) * fb.pitch + x] & 0xFFFFFF;
    return true;
}

bool ReadClientPixel(HWND window, int x, int y, uint32_t* rgb) {
    RECT client{};
    if (!GetClientRect(window, &client) || x < 0 || y < 0 || x >= client.right ||
        y >= client.bottom) {
        return false;
    }
    POINT origin = user::ClientOriginInFrame(window);
    return ReadFramePixel(window, x + origin.x, y + origin.y, rgb);
}

}  // namespace platform_testing
