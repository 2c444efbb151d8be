#include "platform/user/window.h"

#include <strings.h>

#include <cstring>

#include "platform/user/icon.h"
#include "platform/user/menu.h"
#include "platform/user/message.h"

namespace user {
namespace {

struct WindowClass {
    std::string name;
    WNDCLASSA fields;
    std::string menuName;  // when lpszMenuName was a string
};

std::vector<WindowClass> classes;
std::vector<std::unique_ptr<Window>> windows;
uintptr_t nextHandle = 0x10000;
HWND focus = nullptr;

const WindowClass* FindClass(LPCSTR name) {
    if (!name) return nullptr;
    for (const WindowClass& c : classes) {
        if (IS_INTRESOURCE(name)) continue;
        if (strcasecmp(c.name.c_str(), name) == 0) return &c;
    }
    return nullptr;
}

}  // namespace

Window* Lookup(HWND window) {
    if (!window) return nullptr;
    for (const auto& w : windows) {
        if (w->handle == window) return w.get();
    }
    return nullptr;
}

Window* LookupHost(host::WindowId id) {
    if (id == 0) return nullptr;
    for (const auto& w : windows) {
        if (w->host == id && !w->parent) return w.get();
    }
    return nullptr;
}

const std::vector<std::unique_ptr<Window>>& Windows() { return windows; }

HWND TopLevelOf(HWND window) {
    Window* w = Lookup(window);
    while (w && w->parent) w = Lookup(w->parent);
    return w ? w->handle : nullptr;
}

bool IsWithin(HWND window, HWND ancestor) {
    for (Window* w = Lookup(window); w; w = Lookup(w->parent)) {
        if (w->handle == ancestor) return true;
    }
    return false;
}

POINT ClientOriginInFrame(HWND window) {
    POINT origin{0, 0};
    for (Window* w = Lookup(window); w; w = Lookup(w->parent)) {
        if (w->parent) {
            origin.x += w->rect.left;
            origin.y += w->rect.top;
        } else {
            origin.y += w->menuBarHeight;
        }
    }
    return origin;
}

bool TopFramebuffer(HWND window, host::Framebuffer* framebuffer) {
    Window* top = Lookup(TopLevelOf(window));
    return top && host::GetFramebuffer(top->host, framebuffer);
}

void PresentFrame(HWND window, const RECT& area) {
    Window* top = Lookup(TopLevelOf(window));
    if (!top) return;
    host::Present(top->host,
                  host::Rect{area.left, area.top, area.right - area.left, area.bottom - area.top});
}

void Invalidate(HWND window) {
    Window* w = Lookup(window);
    if (!w) return;
    w->needsPaint = true;
    for (const auto& child : windows) {
        if (child->parent && child->handle != window && IsWithin(child->handle, window)) {
            child->needsPaint = true;
        }
    }
}

void ChangeFocus(HWND window) {
    if (window == focus) return;
    HWND old = focus;
    if (old && Lookup(old)) SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    focus = window;
    if (Window* top = Lookup(TopLevelOf(window))) top->focusChild = window;
    if (window && Lookup(window)) {
        SendMessageA(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    }
}

}  // namespace user

using user::Lookup;
using user::Window;

ATOM WINAPI RegisterClassA(const WNDCLASSA* windowClass) {
    static ATOM nextAtom = 0xC000;
    if (!windowClass || !windowClass->lpszClassName || IS_INTRESOURCE(windowClass->lpszClassName) ||
        !windowClass->lpfnWndProc) {
        return 0;
    }
    if (user::FindClass(windowClass->lpszClassName)) return 0;
    user::WindowClass c;
    c.name = windowClass->lpszClassName;
    c.fields = *windowClass;
    if (windowClass->lpszMenuName && !IS_INTRESOURCE(windowClass->lpszMenuName)) {
        c.menuName = windowClass->lpszMenuName;
    }
    c.fields.lpszClassName = nullptr;
    user::classes.push_back(std::move(c));
    return nextAtom++;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    (void)param;
    const user::WindowClass* cls = user::FindClass(className);
    if (!cls) return nullptr;
    const bool child = (style & WS_CHILD) != 0;
    if (child && !Lookup(parent)) return nullptr;

    auto record = std::make_unique<Window>();
    Window* w = record.get();
    w->handle = reinterpret_cast<HWND>(user::nextHandle);
    user::nextHandle += 4;
    w->proc = cls->fields.lpfnWndProc;
    w->classStyle = cls->fields.style;
    w->background = cls->fields.hbrBackground;
    w->style = style & ~static_cast<DWORD>(WS_VISIBLE);
    w->exStyle = exStyle;
    w->text = windowName ? windowName : "";
    w->enabled = (style & WS_DISABLED) == 0;
    HWND handle = w->handle;

    if (child) {
        w->parent = parent;
        w->id = static_cast<int>(reinterpret_cast<uintptr_t>(menu));
        if (x == CW_USEDEFAULT) x = 0;
        if (y == CW_USEDEFAULT) y = 0;
        if (width == CW_USEDEFAULT) width = 0;
        if (height == CW_USEDEFAULT) height = 0;
        w->rect = RECT{x, y, x + width, y + height};
        user::windows.push_back(std::move(record));
    } else {
        if (!host::VideoAvailable()) return nullptr;
        w->owner = user::TopLevelOf(parent);
        if (menu) {
            // A menu handle passed in is taken over by the window.
            w->menu = reinterpret_cast<user::Menu*>(menu);
        } else if (cls->fields.lpszMenuName) {
            LPCSTR name = IS_INTRESOURCE(cls->fields.lpszMenuName) ? cls->fields.lpszMenuName
                                                                   : cls->menuName.c_str();
            w->menu = user::LoadMenuResource(instance ? instance : cls->fields.hInstance, name);
        }
        w->menuBarHeight = w->menu ? user::kMenuBarHeight : 0;
        user::windows.push_back(std::move(record));

        int screenWidth = GetSystemMetrics(SM_CXSCREEN);
        int screenHeight = GetSystemMetrics(SM_CYSCREEN);
        if (width == CW_USEDEFAULT) width = 480;
        if (height == CW_USEDEFAULT) height = 360;
        MINMAXINFO info{};
        info.ptMaxSize = POINT{screenWidth, screenHeight};
        info.ptMaxPosition = POINT{0, 0};
        info.ptMinTrackSize = POINT{112, 27};
        info.ptMaxTrackSize = POINT{screenWidth + 12, screenHeight + 12};
        SendMessageA(handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        if (!(w = Lookup(handle))) return nullptr;
        if (width < info.ptMinTrackSize.x) width = info.ptMinTrackSize.x;
        if (height < info.ptMinTrackSize.y) height = info.ptMinTrackSize.y;
        if (width > info.ptMaxTrackSize.x) width = info.ptMaxTrackSize.x;
        if (height > info.ptMaxTrackSize.y) height = info.ptMaxTrackSize.y;
        // The host draws title bar and frame, which is why their metrics are 0:
        // everything asked for is the host window's drawable area.
        int clientHeight = height - w->menuBarHeight;
        if (clientHeight < 0) clientHeight = 0;
        w->rect = RECT{0, 0, width, clientHeight};

        const bool centred = (style & WS_POPUP) && (style & DS_CENTER);
        host::WindowOptions options{};
        options.title = w->text.c_str();
        options.x = centred              ? host::kPositionCentered
                    : x == CW_USEDEFAULT ? host::kPositionDefault
                                         : x;
        options.y = centred                                      ? host::kPositionCentered
                    : (x == CW_USEDEFAULT || y == CW_USEDEFAULT) ? host::kPositionDefault
                                                                 : y;
        options.width = width;
        options.height = height;
        options.dialog = w->owner != nullptr || (exStyle & WS_EX_DLGMODALFRAME) != 0;
        w->host = host::CreateWindow(options);
        if (w->host == 0) {
            if (w->menu) user::DestroyMenu(w->menu);
            for (size_t i = 0; i < user::windows.size(); ++i) {
                if (user::windows[i]->handle == handle) {
                    user::windows.erase(user::windows.begin() + static_cast<std::ptrdiff_t>(i));
                    break;
                }
            }
            return nullptr;
        }
        if (const user::IconImage* icon = user::LookupIcon(cls->fields.hIcon)) {
            host::SetWindowIcon(w->host, icon->argb.data(), icon->width, icon->height);
        }
    }

    if (!SendMessageA(handle, WM_NCCREATE, 0, 0) || SendMessageA(handle, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    if (!Lookup(handle)) return nullptr;
    if (style & WS_VISIBLE) ShowWindow(handle, SW_SHOW);
    return Lookup(handle) ? handle : nullptr;
}

BOOL WINAPI DestroyWindow(HWND window) {
    Window* w = Lookup(window);
    if (!w || w->destroying) return FALSE;
    w->destroying = true;
    const bool topLevel = !w->parent;
    if (topLevel && w->host) host::ShowWindow(w->host, false);
    if (user::focus && user::IsWithin(user::focus, window)) user::focus = nullptr;

    // Owned windows go first, as their owner's death takes them along.
    if (topLevel) {
        for (size_t i = 0; i < user::windows.size(); ++i) {
            Window* owned = user::windows[i].get();
            if (owned->owner == window && !owned->destroying) {
                DestroyWindow(owned->handle);
                i = 0;
            }
        }
    }
    SendMessageA(window, WM_DESTROY, 0, 0);
    // Children in reverse creation order, each with its own messages; the
    // list can change under every call, so look each one up afresh.
    for (bool found = true; found;) {
        found = false;
        for (size_t i = user::windows.size(); i-- > 0;) {
            Window* child = user::windows[i].get();
            if (child->parent == window && !child->destroying) {
                DestroyWindow(child->handle);
                found = true;
                break;
            }
        }
    }
    SendMessageA(window, WM_NCDESTROY, 0, 0);
    user::RemoveMessagesFor(window);
    if (user::focus == window) user::focus = nullptr;
    for (size_t i = 0; i < user::windows.size(); ++i) {
        if (user::windows[i]->handle == window) {
            Window* gone = user::windows[i].get();
            if (topLevel) {
                if (gone->menu) user::DestroyMenu(gone->menu);
                host::DestroyWindow(gone->host);
            }
            user::windows.erase(user::windows.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND window, int showCommand) {
    Window* w = Lookup(window);
    if (!w) return FALSE;
    const BOOL wasVisible = w->visible ? TRUE : FALSE;
    if (showCommand == SW_HIDE) {
        w->visible = false;
        w->style &= ~static_cast<DWORD>(WS_VISIBLE);
        if (!w->parent) host::ShowWindow(w->host, false);
        if (user::focus && user::IsWithin(user::focus, window)) user::ChangeFocus(nullptr);
        if (w->parent) user::Invalidate(w->parent);
        return wasVisible;
    }
    if (showCommand == SW_MINIMIZE) {
        if (!w->parent) host::MinimizeWindow(w->host);
        return wasVisible;
    }
    w->visible = true;
    w->style |= WS_VISIBLE;
    if (w->parent) {
        if (!wasVisible) user::Invalidate(window);
        return wasVisible;
    }
    if (showCommand == SW_RESTORE) host::RestoreWindow(w->host);
    if (!wasVisible) {
        host::ShowWindow(w->host, true);
        user::Invalidate(window);
        if (w->menu) user::DrawMenuBar(window);
    }
    // Showing a top-level window activates it, so its procedure sees the
    // focus before the first paint, as on Windows.
    host::FocusWindow(w->host);
    if (!user::focus || user::TopLevelOf(user::focus) != window) {
        HWND target = Lookup(w->focusChild) ? w->focusChild : window;
        if (w->enabled) user::ChangeFocus(target);
    }
    return wasVisible;
}

BOOL WINAPI UpdateWindow(HWND window) {
    Window* w = Lookup(window);
    if (!w) return FALSE;
    if (w->needsPaint && w->visible) SendMessageA(window, WM_PAINT, 0, 0);
    // Children paint after their parent, so they end up on top.
    for (size_t i = 0; i < user::windows.size(); ++i) {
        Window* child = user::windows[i].get();
        if (child->parent == window && child->needsPaint && child->visible) {
            UpdateWindow(child->handle);
        }
    }
    return TRUE;
}

BOOL WINAPI IsWindow(HWND window) {
    Window* w = Lookup(window);
    return w && !w->destroying ? TRUE : FALSE;
}

BOOL WINAPI IsWindowEnabled(HWND window) {
    Window* w = Lookup(window);
    return w && w->enabled ? TRUE : FALSE;
}

BOOL WINAPI EnableWindow(HWND window, BOOL enable) {
    Window* w = Lookup(window);
    if (!w) return FALSE;
    const BOOL wasDisabled = w->enabled ? FALSE : TRUE;
    const bool now = enable != FALSE;
    if (now == w->enabled) return wasDisabled;
    w->enabled = now;
    if (now) {
        w->style &= ~static_cast<DWORD>(WS_DISABLED);
    } else {
        w->style |= WS_DISABLED;
        if (user::focus && user::IsWithin(user::focus, window)) user::ChangeFocus(nullptr);
    }
    SendMessageA(window, WM_ENABLE, now ? TRUE : FALSE, 0);
    return wasDisabled;
}

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) {
    if (!Lookup(window)) return FALSE;
    return SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int WINAPI GetWindowTextA(HWND window, LPSTR text, int maxCount) {
    Window* w = Lookup(window);
    if (!text || maxCount <= 0) return 0;
    text[0] = '\0';
    if (!w) return 0;
    size_t n = w->text.size();
    if (n > static_cast<size_t>(maxCount - 1)) n = static_cast<size_t>(maxCount - 1);
    std::memcpy(text, w->text.data(), n);
    text[n] = '\0';
    return static_cast<int>(n);
}

BOOL WINAPI GetClientRect(HWND window, LPRECT rect) {
    Window* w = Lookup(window);
    if (!w || !rect) return FALSE;
    *rect = RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND window, LPPOINT point) {
    Window* top = Lookup(user::TopLevelOf(window));
    if (!top || !point) return FALSE;
    int x = 0, y = 0;
    host::WindowPosition(top->host, &x, &y);
    POINT origin = user::ClientOriginInFrame(window);
    point->x += x + origin.x;
    point->y += y + origin.y;
    return TRUE;
}

BOOL WINAPI GetCursorPos(LPPOINT point) {
    if (!point) return FALSE;
    int x = 0, y = 0;
    host::PointerPosition(&x, &y);
    point->x = x;
    point->y = y;
    return TRUE;
}

HWND WINAPI SetFocus(HWND window) {
    HWND old = user::focus;
    if (window) {
        Window* w = Lookup(window);
        if (!w || w->destroying) return nullptr;
        Window* top = Lookup(user::TopLevelOf(window));
        if (top && (!old || user::TopLevelOf(old) != top->handle)) host::FocusWindow(top->host);
    }
    user::ChangeFocus(window);
    return old;
}

HWND WINAPI GetFocus(void) { return user::focus; }

int WINAPI GetSystemMetrics(int index) {
    int width = 0, height = 0;
    switch (index) {
        case SM_CXSCREEN:
            host::ScreenSize(&width, &height);
            return width;
        case SM_CYSCREEN:
            host::ScreenSize(&width, &height);
            return height;
        case SM_CYMENU:
            return user::kMenuBarHeight;
        // Title bar and frame belong to the host's window manager; the
        // windows we create are exactly the area we draw.
        case SM_CYCAPTION:
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME:
        default:
            return 0;
    }
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR cursorName) {
    // The host shows its own arrow in our windows; the handle only needs to
    // be a valid, non-null cursor for the window class.
    static int arrow;
    if (!instance && cursorName == IDC_ARROW) return reinterpret_cast<HCURSOR>(&arrow);
    return nullptr;
}

BOOL WINAPI SetRect(LPRECT rect, int left, int top, int right, int bottom) {
    if (!rect) return FALSE;
    *rect = RECT{left, top, right, bottom};
    return TRUE;
}

BOOL WINAPI OffsetRect(LPRECT rect, int dx, int dy) {
    if (!rect) return FALSE;
    rect->left += dx;
    rect->right += dx;
    rect->top += dy;
    rect->bottom += dy;
    return TRUE;
}
