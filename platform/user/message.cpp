#include "platform/user/message.h"

#include <cctype>
#include <vector>

#include "platform/host/host.h"
#include "platform/user/menu.h"
#include "platform/user/modal.h"
#include "platform/user/window.h"

namespace user {
namespace {

struct Queued {
    MSG msg;
    unsigned modifiers;  // keys only: modifiers held when the key went down
    char text;           // keys only: the character the host's text input gave, or 0
};

// The last key message handed out, so TranslateMessage knows its text.
struct LastKey {
    MSG msg;
    unsigned modifiers;
    char text;
    bool translated;
    bool valid;
};

std::vector<Queued> queue;
LastKey lastKey{};
std::function<void()> idleHook;
unsigned heldButtons = 0;

bool SameMessage(const MSG& a, const MSG& b) {
    return a.hwnd == b.hwnd && a.message == b.message && a.wParam == b.wParam &&
           a.lParam == b.lParam && a.time == b.time;
}

DWORD Now() {
    static DWORD counter = 0;
    return ++counter;
}

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam, unsigned modifiers = 0,
          bool next = false) {
    if (queue.capacity() == 0) queue.reserve(256);
    Queued q{};
    q.msg.hwnd = window;
    q.msg.message = message;
    q.msg.wParam = wParam;
    q.msg.lParam = lParam;
    q.msg.time = Now();
    int x = 0, y = 0;
    host::LastPointerPosition(&x, &y);
    q.msg.pt = POINT{x, y};
    q.modifiers = modifiers;
    if (next) {
        queue.insert(queue.begin(), q);
    } else {
        queue.push_back(q);
    }
}

LPARAM MakePoint(int x, int y) {
    return static_cast<LPARAM>((static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16) |
                               static_cast<uint16_t>(x));
}

// The deepest shown child under a point of the framebuffer, or the
// top-level window itself.
HWND ChildAt(HWND top, int x, int y) {
    HWND found = top;
    bool deeper = true;
    while (deeper) {
        deeper = false;
        for (const auto& w : Windows()) {
            if (w->parent != found || !w->visible || w->destroying) continue;
            // Group boxes and static texts let clicks through to what lies
            // below them.
            if (SendMessageA(w->handle, WM_NCHITTEST, 0, 0) == HTTRANSPARENT) continue;
            POINT origin = ClientOriginInFrame(w->handle);
            int width = w->rect.right - w->rect.left;
            int height = w->rect.bottom - w->rect.top;
            if (x >= origin.x && y >= origin.y && x < origin.x + width && y < origin.y + height) {
                found = w->handle;
                deeper = true;
            }
        }
    }
    return found;
}

void HandleMouse(Window* top, const host::Event& event) {
    if (event.type == host::EventType::MouseDown) heldButtons |= 1u << event.button;
    if (event.type == host::EventType::MouseUp) heldButtons &= ~(1u << event.button);
    int screenX = 0, screenY = 0;
    host::WindowPosition(top->host, &screenX, &screenY);
    screenX += event.x;
    screenY += event.y;
    if (top->menu && event.y < top->menuBarHeight && !MenuTracking()) {
        if (event.button != 1 && event.type != host::EventType::MouseMove) return;
        UINT message = event.type == host::EventType::MouseDown ? WM_NCLBUTTONDOWN
                       : event.type == host::EventType::MouseUp ? WM_NCLBUTTONUP
                                                                : WM_NCMOUSEMOVE;
        Post(top->handle, message, HTMENU, MakePoint(screenX, screenY));
        return;
    }
    HWND target = ChildAt(top->handle, event.x, event.y);
    Window* w = Lookup(target);
    if (!w || !w->enabled) return;
    POINT origin = ClientOriginInFrame(target);
    LPARAM where = MakePoint(event.x - origin.x, event.y - origin.y);
    WPARAM keys =
        ((heldButtons & (1u << 1)) ? MK_LBUTTON : 0) | ((heldButtons & (1u << 3)) ? MK_RBUTTON : 0);
    switch (event.type) {
        case host::EventType::MouseMove:
            Post(target, WM_MOUSEMOVE, keys, where);
            break;
        case host::EventType::MouseDown:
            if (event.button == 1) Post(target, WM_LBUTTONDOWN, keys, where);
            if (event.button == 3) Post(target, WM_RBUTTONDOWN, keys, where);
            break;
        default:
            if (event.button == 1) Post(target, WM_LBUTTONUP, keys, where);
            if (event.button == 3) Post(target, WM_RBUTTONUP, keys, where);
            break;
    }
}

void HandleKey(Window* top, const host::Event& event) {
    HWND target = top->handle;
    HWND focused = GetFocus();
    if (focused && TopLevelOf(focused) == top->handle) target = focused;
    const bool down = event.type == host::EventType::KeyDown;
    const bool alt = (event.modifiers & host::kAlt) != 0;
    const bool system =
        (alt && !(event.modifiers & host::kControl)) || event.key == VK_F10 || event.key == VK_MENU;
    UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    uint32_t lParam = 1;
    if (alt) lParam |= 1u << 29;
    if (event.repeat || !down) lParam |= 1u << 30;
    if (!down) lParam |= 1u << 31;
    Post(target, message, event.key, static_cast<LPARAM>(lParam), event.modifiers);
}

// Text input belongs to the key press just before it; the host reports it
// separately.
void HandleText(Window* top, const host::Event& event) {
    char c = event.text[0];
    if (event.text[1] == '\0') {
        for (size_t i = queue.size(); i-- > 0;) {
            Queued& q = queue[i];
            if ((q.msg.message == WM_KEYDOWN || q.msg.message == WM_SYSKEYDOWN) &&
                TopLevelOf(q.msg.hwnd) == top->handle) {
                if (q.text == 0) {
                    q.text = c;
                    return;
                }
                break;
            }
        }
        if (lastKey.valid && !lastKey.translated && TopLevelOf(lastKey.msg.hwnd) == top->handle) {
            lastKey.text = c;
            return;
        }
        if (lastKey.valid && lastKey.translated) return;
    }
    HWND target = top->handle;
    HWND focused = GetFocus();
    if (focused && TopLevelOf(focused) == top->handle) target = focused;
    for (const char* p = event.text; *p; ++p) {
        Post(target, WM_CHAR, static_cast<unsigned char>(*p), 1);
    }
}

void HandleFocusGained(Window* top) {
    if (!top->enabled) {
        // Activating a window behind its modal box activates the box.
        HWND modal = ActiveModal();
        if (Window* box = Lookup(modal)) {
            if (box->owner == top->handle || IsWithin(box->owner, top->handle)) {
                host::FocusWindow(box->host);
                if (!GetFocus() || TopLevelOf(GetFocus()) != modal) ChangeFocus(modal);
            }
        }
        return;
    }
    HWND focused = GetFocus();
    if (focused && TopLevelOf(focused) == top->handle) return;
    ChangeFocus(Lookup(top->focusChild) ? top->focusChild : top->handle);
}

void HandleEvent(const host::Event& event) {
    if (event.type == host::EventType::Quit) {
        PostQuitMessage(0);
        return;
    }
    Window* top = LookupHost(event.window);
    if (!top || top->destroying) return;
    switch (event.type) {
        case host::EventType::Expose:
            Invalidate(top->handle);
            if (top->menu) DrawMenuBar(top->handle);
            break;
        case host::EventType::FocusGained:
            HandleFocusGained(top);
            break;
        case host::EventType::FocusLost: {
            HWND focused = GetFocus();
            if (focused && TopLevelOf(focused) == top->handle) ChangeFocus(nullptr);
            if (Window* still = Lookup(top->handle)) still->focusChild = focused;
            break;
        }
        case host::EventType::Close:
            if (top->enabled) Post(top->handle, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        case host::EventType::MouseDown:
        case host::EventType::MouseUp:
        case host::EventType::MouseMove:
            if (top->enabled) HandleMouse(top, event);
            break;
        case host::EventType::KeyDown:
        case host::EventType::KeyUp:
            if (top->enabled) HandleKey(top, event);
            break;
        case host::EventType::Text:
            if (top->enabled) HandleText(top, event);
            break;
        default:
            break;
    }
}

void PumpPending() {
    host::Event event;
    while (host::PollEvent(&event)) HandleEvent(event);
}

bool Matches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax) {
    if (msg.message == WM_QUIT) return true;
    if (window && !IsWithin(msg.hwnd, window)) return false;
    if (filterMin == 0 && filterMax == 0) return true;
    return msg.message >= filterMin && msg.message <= filterMax;
}

bool TakePosted(MSG* msg, HWND window, UINT filterMin, UINT filterMax) {
    for (size_t i = 0; i < queue.size(); ++i) {
        if (!Matches(queue[i].msg, window, filterMin, filterMax)) continue;
        const Queued taken = queue[i];
        queue.erase(queue.begin() + static_cast<std::ptrdiff_t>(i));
        *msg = taken.msg;
        if (taken.msg.message == WM_KEYDOWN || taken.msg.message == WM_SYSKEYDOWN) {
            lastKey = LastKey{taken.msg, taken.modifiers, taken.text, false, true};
        }
        return true;
    }
    return false;
}

// Paint comes only when nothing else is waiting, parents before children.
bool TakePaint(MSG* msg, HWND window, UINT filterMin, UINT filterMax) {
    if (!(filterMin == 0 && filterMax == 0) && (WM_PAINT < filterMin || WM_PAINT > filterMax)) {
        return false;
    }
    for (const auto& w : Windows()) {
        if (!w->needsPaint || !w->visible || w->destroying) continue;
        if (window && !IsWithin(w->handle, window)) continue;
        Window* top = Lookup(TopLevelOf(w->handle));
        if (!top || !top->visible) continue;
        *msg = MSG{};
        msg->hwnd = w->handle;
        msg->message = WM_PAINT;
        msg->time = Now();
        return true;
    }
    return false;
}

// The character a key makes on a US keyboard, for keys the host gave no
// text for (control combinations, injected keys).
char CharacterForKey(UINT vk, unsigned modifiers) {
    const bool shift = (modifiers & host::kShift) != 0;
    const bool control = (modifiers & host::kControl) != 0;
    if (vk >= 'A' && vk <= 'Z') {
        if (control) return static_cast<char>(vk - 'A' + 1);
        return static_cast<char>(shift ? vk : vk - 'A' + 'a');
    }
    if (control) return 0;
    switch (vk) {
        case VK_ESCAPE:
            return 27;
        case VK_BACK:
            return 8;
        case VK_RETURN:
            return 13;
        case VK_TAB:
            return 9;
        case VK_SPACE:
            return ' ';
        default:
            break;
    }
    if (vk >= '0' && vk <= '9') {
        static const char shifted[] = ")!@#$%^&*(";
        return shift ? shifted[vk - '0'] : static_cast<char>(vk);
    }
    if (vk >= 0x60 && vk <= 0x69) return static_cast<char>('0' + vk - 0x60);
    struct Oem {
        UINT vk;
        char plain;
        char shifted;
    };
    static const Oem oem[] = {
        {0xBA, ';', ':'},  {0xBB, '=', '+'}, {0xBC, ',', '<'},  {0xBD, '-', '_'},
        {0xBE, '.', '>'},  {0xBF, '/', '?'}, {0xC0, '`', '~'},  {0xDB, '[', '{'},
        {0xDC, '\\', '|'}, {0xDD, ']', '}'}, {0xDE, '\'', '"'}, {0x6A, '*', '*'},
        {0x6B, '+', '+'},  {0x6D, '-', '-'}, {0x6E, '.', '.'},  {0x6F, '/', '/'}};
    for (const Oem& o : oem) {
        if (o.vk == vk) return shift ? o.shifted : o.plain;
    }
    return 0;
}

}  // namespace

void RemoveMessagesFor(HWND window) {
    for (size_t i = queue.size(); i-- > 0;) {
        if (queue[i].msg.hwnd == window)
            queue.erase(queue.begin() + static_cast<std::ptrdiff_t>(i));
    }
    if (lastKey.msg.hwnd == window) lastKey.valid = false;
}

unsigned KeyModifiers(const MSG& msg) {
    if (!lastKey.valid || !SameMessage(lastKey.msg, msg)) return 0;
    return lastKey.modifiers;
}

void SetIdleHook(std::function<void()> hook) { idleHook = std::move(hook); }

}  // namespace user

using user::Lookup;

BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    if (!msg) return -1;
    if (window && !Lookup(window)) return -1;
    for (;;) {
        user::PumpPending();
        if (user::TakePosted(msg, window, filterMin, filterMax) ||
            user::TakePaint(msg, window, filterMin, filterMax)) {
            return msg->message == WM_QUIT ? FALSE : TRUE;
        }
        if (user::idleHook) {
            // The hook may inject input or post messages; look again before
            // blocking.
            auto hook = user::idleHook;
            hook();
            user::PumpPending();
            if (user::TakePosted(msg, window, filterMin, filterMax) ||
                user::TakePaint(msg, window, filterMin, filterMax)) {
                return msg->message == WM_QUIT ? FALSE : TRUE;
            }
            // Still nothing: the loop would block, so the hook is asked again
            // rather than waiting for input nobody will make.
            continue;
        }
        host::Event event;
        if (!host::WaitEvent(&event)) {
            // Without a host there is nothing that could ever arrive.
            *msg = MSG{};
            msg->message = WM_QUIT;
            return FALSE;
        }
        user::HandleEvent(event);
    }
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
    unsigned modifiers = 0;
    char text = 0;
    if (user::lastKey.valid && user::SameMessage(user::lastKey.msg, *msg)) {
        modifiers = user::lastKey.modifiers;
        text = user::lastKey.text;
        user::lastKey.translated = true;
    }
    const bool control = (modifiers & host::kControl) != 0;
    char c =
        text && !control ? text : user::CharacterForKey(static_cast<UINT>(msg->wParam), modifiers);
    if (c == 0) return FALSE;
    // The character is the very next message, ahead of keys typed later.
    user::Post(msg->hwnd, msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR,
               static_cast<unsigned char>(c), msg->lParam, 0, true);
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (!msg || !msg->hwnd) return 0;
    user::Window* w = Lookup(msg->hwnd);
    if (!w || !w->proc) return 0;
    return w->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    user::Window* w = Lookup(window);
    if (!w || !w->proc) return 0;
    return w->proc(window, message, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window && !Lookup(window)) return FALSE;
    user::Post(window, message, wParam, lParam);
    return TRUE;
}

void WINAPI PostQuitMessage(int exitCode) {
    user::Post(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0);
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    user::Window* w = Lookup(window);
    if (!w) return 0;
    switch (message) {
        case WM_NCCREATE:
            return TRUE;
        case WM_PAINT:
            w->needsPaint = false;
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_SETTEXT: {
            LPCSTR text = reinterpret_cast<LPCSTR>(lParam);
            w->text = text ? text : "";
            if (w->parent) {
                user::Invalidate(window);
            } else {
                host::SetWindowTitle(w->host, w->text.c_str());
            }
            return TRUE;
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(w->text.size());
        case WM_GETTEXT:
            return GetWindowTextA(window, reinterpret_cast<LPSTR>(lParam),
                                  static_cast<int>(wParam));
        case WM_SYSCOMMAND: {
            HWND top = user::TopLevelOf(window);
            switch (wParam & 0xFFF0) {
                case SC_CLOSE:
                    SendMessageA(top, WM_CLOSE, 0, 0);
                    return 0;
                case SC_KEYMENU: {
                    user::Window* t = Lookup(top);
                    if (!t || !t->menu) return 0;
                    if (lParam == 0) {
                        user::TrackMenuBar(top, 0, true, false);
                    } else {
                        int title = user::MenuTitleForMnemonic(top, static_cast<char>(lParam));
                        if (title >= 0) user::TrackMenuBar(top, title, true, true);
                    }
                    return 0;
                }
                case SC_MOUSEMENU: {
                    int x = static_cast<int16_t>(lParam & 0xFFFF);
                    int y = static_cast<int16_t>((lParam >> 16) & 0xFFFF);
                    user::Window* t = Lookup(top);
                    if (!t) return 0;
                    int hx = 0, hy = 0;
                    host::WindowPosition(t->host, &hx, &hy);
                    int title = user::MenuTitleAt(top, x - hx, y - hy);
                    if (title >= 0) user::TrackMenuBar(top, title, false, true);
                    return 0;
                }
                default:
                    return 0;
            }
        }
        case WM_NCLBUTTONDOWN:
            if (wParam == HTMENU) SendMessageA(window, WM_SYSCOMMAND, SC_MOUSEMENU, lParam);
            return 0;
        case WM_SYSKEYDOWN:
            if (wParam == VK_F4 && (lParam & (1 << 29))) {
                SendMessageA(user::TopLevelOf(window), WM_SYSCOMMAND, SC_CLOSE, 0);
            } else if (wParam == VK_F10) {
                SendMessageA(user::TopLevelOf(window), WM_SYSCOMMAND, SC_KEYMENU, 0);
            }
            return 0;
        case WM_SYSCHAR:
            if (std::isalnum(static_cast<unsigned char>(wParam))) {
                SendMessageA(user::TopLevelOf(window), WM_SYSCOMMAND, SC_KEYMENU,
                             static_cast<LPARAM>(wParam));
            }
            return 0;
        default:
            return 0;
    }
}
