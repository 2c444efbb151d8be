#include "platform/user/menu.h"

#include <cctype>
#include <cstring>
#include <memory>

#include "platform/host/text.h"
#include "platform/user/draw.h"
#include "platform/user/window.h"
#include "platform/winbase.h"

namespace user {
namespace {

constexpr int kTitlePadding = 7;
constexpr int kItemHeight = 17;
constexpr int kSeparatorHeight = 8;
constexpr int kBorder = 3;
constexpr int kCheckColumn = 18;

std::vector<std::unique_ptr<Menu>> menus;

struct Tracking {
    bool active;
    HWND window;
    int title;
    bool open;
    int selected;
    RECT underRect;  // what the open drop-down covers, saved in `under`
    bool saved;
    std::vector<uint32_t> under;
};

Tracking tracking{};

bool IsSeparator(const MenuItem& item) {
    return !(item.flags & kMenuPopup) && item.id == 0 && item.text.empty();
}

bool Selectable(const MenuItem& item) { return !IsSeparator(item) && !(item.flags & kMenuGrayed); }

struct Reader {
    const unsigned char* data;
    size_t size;
    size_t pos;
    bool ok;

    WORD Word() {
        if (pos + 2 > size) {
            ok = false;
            return 0;
        }
        WORD w = static_cast<WORD>(data[pos] | (data[pos + 1] << 8));
        pos += 2;
        return w;
    }
    std::string Text() {
        std::string s;
        for (;;) {
            WORD c = Word();
            if (!ok || c == 0) break;
            s.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
        }
        return s;
    }
};

bool ParseLevel(Reader& in, std::vector<MenuItem>& items, int depth) {
    if (depth > 8) return false;
    for (;;) {
        MenuItem item{};
        item.flags = in.Word();
        if (!(item.flags & kMenuPopup)) item.id = in.Word();
        item.text = in.Text();
        if (!in.ok) return false;
        if ((item.flags & kMenuPopup) && !ParseLevel(in, item.items, depth + 1)) return false;
        const bool last = (item.flags & kMenuEnd) != 0;
        item.flags &= ~kMenuEnd;
        items.push_back(std::move(item));
        if (last) return true;
    }
}

MenuItem* FindItem(std::vector<MenuItem>& items, UINT id) {
    for (MenuItem& item : items) {
        if (!(item.flags & kMenuPopup) && item.id == id && !IsSeparator(item)) return &item;
        if (MenuItem* inner = FindItem(item.items, id)) return inner;
    }
    return nullptr;
}

Menu* MenuOf(HWND window) {
    Window* w = Lookup(window);
    return w && !w->parent ? w->menu : nullptr;
}

RECT DropDownRect(HWND window, int title) {
    Menu* menu = MenuOf(window);
    RECT titleRect{};
    if (!menu || !MenuTitleRect(window, title, &titleRect)) return RECT{};
    const MenuItem& popup = menu->items[static_cast<size_t>(title)];
    int width = 0;
    int height = 2 * kBorder;
    for (const MenuItem& item : popup.items) {
        int w = MnemonicTextWidth(item.text.c_str());
        if (w > width) width = w;
        height += IsSeparator(item) ? kSeparatorHeight : kItemHeight;
    }
    width += 2 * kCheckColumn + 2 * kBorder;
    if (width < 60) width = 60;
    host::Framebuffer fb{};
    int left = titleRect.left;
    if (TopFramebuffer(window, &fb) && left + width > fb.width) left = fb.width - width;
    if (left < 0) left = 0;
    return RECT{left, kMenuBarHeight, left + width, kMenuBarHeight + height};
}

RECT ItemRect(HWND window, int title, int index) {
    Menu* menu = MenuOf(window);
    RECT box = DropDownRect(window, title);
    int y = box.top + kBorder;
    const MenuItem& popup = menu->items[static_cast<size_t>(title)];
    for (int i = 0; i < static_cast<int>(popup.items.size()); ++i) {
        int h = IsSeparator(popup.items[static_cast<size_t>(i)]) ? kSeparatorHeight : kItemHeight;
        if (i == index) return RECT{box.left + kBorder, y, box.right - kBorder, y + h};
        y += h;
    }
    return RECT{};
}

int ItemAt(HWND window, int title, int x, int y) {
    Menu* menu = MenuOf(window);
    if (!menu) return -1;
    const MenuItem& popup = menu->items[static_cast<size_t>(title)];
    for (int i = 0; i < static_cast<int>(popup.items.size()); ++i) {
        RECT r = ItemRect(window, title, i);
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return i;
    }
    return -1;
}

void DrawCheck(const host::Framebuffer& fb, int x, int y, uint32_t colour) {
    static const char* const kMark[] = {"......#", ".....##", "#...###", "##.###.",
                                        "#####..", ".###...", "..#...."};
    for (int row = 0; row < 7; ++row) {
        for (int col = 0; col < 7; ++col) {
            int px = x + col, py = y + row;
            if (kMark[row][col] == '#' && px >= 0 && py >= 0 && px < fb.width && py < fb.height) {
                fb.pixels[static_cast<ptrdiff_t>(py) * fb.pitch + px] = colour;
            }
        }
    }
}

void DrawBar(HWND window) {
    Menu* menu = MenuOf(window);
    host::Framebuffer fb{};
    if (!menu || !TopFramebuffer(window, &fb)) return;
    RECT bar{0, 0, fb.width, kMenuBarHeight};
    FillRect(fb, bar, kFace);
    const int textTop = (kMenuBarHeight - host::TextMetrics().height) / 2;
    for (int i = 0; i < static_cast<int>(menu->items.size()); ++i) {
        RECT r{};
        MenuTitleRect(window, i, &r);
        int shift = 0;
        if (tracking.active && tracking.window == window && tracking.title == i) {
            // Open titles look pressed; a title picked from the keyboard
            // before its drop-down opens looks raised.
            if (tracking.open) {
                Edge(fb, r, kShadow, kHighlight);
                shift = 1;
            } else {
                Edge(fb, r, kHighlight, kShadow);
            }
        }
        const MenuItem& item = menu->items[static_cast<size_t>(i)];
        uint32_t colour = (item.flags & kMenuGrayed) ? kShadow : kText;
        DrawMnemonicText(fb, r.left + kTitlePadding + shift, textTop + shift, item.text.c_str(),
                         colour, bar);
    }
    PresentFrame(window, bar);
}

void SaveUnder(HWND window, const RECT& r) {
    host::Framebuffer fb{};
    if (!TopFramebuffer(window, &fb)) return;
    RECT c{r.left, r.top, r.right < fb.width ? r.right : fb.width,
           r.bottom < fb.height ? r.bottom : fb.height};
    if (c.right <= c.left || c.bottom <= c.top) return;
    size_t w = static_cast<size_t>(c.right - c.left);
    tracking.under.resize(w * static_cast<size_t>(c.bottom - c.top));
    for (int y = c.top; y < c.bottom; ++y) {
        std::memcpy(&tracking.under[static_cast<size_t>(y - c.top) * w],
                    fb.pixels + static_cast<ptrdiff_t>(y) * fb.pitch + c.left, w * 4);
    }
    tracking.underRect = c;
    tracking.saved = true;
}

void RestoreUnder(HWND window) {
    host::Framebuffer fb{};
    if (!tracking.saved || !TopFramebuffer(window, &fb)) return;
    tracking.saved = false;
    const RECT& c = tracking.underRect;
    if (c.right > fb.width || c.bottom > fb.height) return;
    size_t w = static_cast<size_t>(c.right - c.left);
    for (int y = c.top; y < c.bottom; ++y) {
        std::memcpy(fb.pixels + static_cast<ptrdiff_t>(y) * fb.pitch + c.left,
                    &tracking.under[static_cast<size_t>(y - c.top) * w], w * 4);
    }
    PresentFrame(window, c);
}

void DrawDropDown(HWND window) {
    Menu* menu = MenuOf(window);
    host::Framebuffer fb{};
    if (!menu || !tracking.open || !TopFramebuffer(window, &fb)) return;
    RECT box = DropDownRect(window, tracking.title);
    if (!tracking.saved) SaveUnder(window, box);
    FillRect(fb, box, kFace);
    RaisedBevel(fb, box);
    const MenuItem& popup = menu->items[static_cast<size_t>(tracking.title)];
    const int textOffset = (kItemHeight - host::TextMetrics().height) / 2;
    for (int i = 0; i < static_cast<int>(popup.items.size()); ++i) {
        const MenuItem& item = popup.items[static_cast<size_t>(i)];
        RECT r = ItemRect(window, tracking.title, i);
        if (IsSeparator(item)) {
            int mid = (r.top + r.bottom) / 2 - 1;
            FillRect(fb, RECT{r.left + 1, mid, r.right - 1, mid + 1}, kShadow);
            FillRect(fb, RECT{r.left + 1, mid + 1, r.right - 1, mid + 2}, kHighlight);
            continue;
        }
        const bool selected = i == tracking.selected;
        if (selected) FillRect(fb, r, kSelection);
        uint32_t colour = selected ? kSelectionText : kText;
        if (item.flags & kMenuGrayed) {
            if (!selected) {
                DrawMnemonicText(fb, r.left + kCheckColumn + 1, r.top + textOffset + 1,
                                 item.text.c_str(), kHighlight, box);
            }
            colour = kShadow;
        }
        if (item.flags & kMenuChecked)
            DrawCheck(fb, r.left + 6, r.top + (kItemHeight - 7) / 2, colour);
        DrawMnemonicText(fb, r.left + kCheckColumn, r.top + textOffset, item.text.c_str(), colour,
                         box);
    }
    PresentFrame(window, box);
}

int FirstSelectable(const MenuItem& popup, int from, int step) {
    int n = static_cast<int>(popup.items.size());
    for (int k = 0; k < n; ++k) {
        int i = ((from + step * k) % n + n) % n;
        if (Selectable(popup.items[static_cast<size_t>(i)])) return i;
    }
    return -1;
}

void SwitchTo(HWND window, int title, bool open) {
    RestoreUnder(window);
    Menu* menu = MenuOf(window);
    tracking.title = title;
    tracking.open = open && (menu->items[static_cast<size_t>(title)].flags & kMenuPopup);
    tracking.selected = -1;
    DrawBar(window);
    DrawDropDown(window);
}

void Select(HWND window, int index) {
    if (index == tracking.selected) return;
    tracking.selected = index;
    DrawDropDown(window);
}

bool IsInput(UINT message) {
    return (message >= WM_KEYDOWN && message <= WM_SYSCHAR) ||
           (message >= WM_MOUSEMOVE && message <= WM_RBUTTONUP) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCLBUTTONUP);
}

// Framebuffer coordinates of a mouse message, whichever window it was for.
POINT FramePoint(HWND window, const MSG& msg) {
    int x = static_cast<int16_t>(msg.lParam & 0xFFFF);
    int y = static_cast<int16_t>((msg.lParam >> 16) & 0xFFFF);
    if (msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCLBUTTONUP) {
        int hx = 0, hy = 0;
        host::WindowPosition(Lookup(window)->host, &hx, &hy);
        return POINT{x - hx, y - hy};
    }
    POINT origin = ClientOriginInFrame(msg.hwnd);
    return POINT{x + origin.x, y + origin.y};
}

// Returns the chosen command, 0 while the menu stays open, -1 to leave.
long HandleInput(HWND window, const MSG& msg) {
    Menu* menu = MenuOf(window);
    const int titles = static_cast<int>(menu->items.size());
    const MenuItem& popup = menu->items[static_cast<size_t>(tracking.title)];
    switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            const UINT vk = static_cast<UINT>(msg.wParam);
            switch (vk) {
                case VK_MENU:
                case VK_F10:
                    return -1;
                case VK_ESCAPE:
                    if (!tracking.open) return -1;
                    SwitchTo(window, tracking.title, false);
                    return 0;
                case VK_LEFT:
                case VK_RIGHT: {
                    int next = (tracking.title + (vk == VK_LEFT ? titles - 1 : 1)) % titles;
                    bool open = tracking.open;
                    SwitchTo(window, next, open);
                    if (tracking.open) {
                        Select(window,
                               FirstSelectable(menu->items[static_cast<size_t>(next)], 0, 1));
                    }
                    return 0;
                }
                case VK_DOWN:
                case VK_UP: {
                    const int step = vk == VK_DOWN ? 1 : -1;
                    if (!tracking.open) {
                        SwitchTo(window, tracking.title, true);
                        Select(window, FirstSelectable(popup, step > 0 ? 0 : -1, step));
                    } else {
                        int from =
                            tracking.selected < 0 ? (step > 0 ? 0 : -1) : tracking.selected + step;
                        Select(window, FirstSelectable(popup, from, step));
                    }
                    return 0;
                }
                case VK_RETURN:
                    if (!tracking.open) {
                        SwitchTo(window, tracking.title, true);
                        Select(window, FirstSelectable(popup, 0, 1));
                        return 0;
                    }
                    if (tracking.selected >= 0) {
                        const MenuItem& item = popup.items[static_cast<size_t>(tracking.selected)];
                        if (Selectable(item) && !(item.flags & kMenuPopup)) return item.id;
                    }
                    return 0;
                default:
                    break;
            }
            if (!std::isalnum(static_cast<int>(vk)) || vk > 'Z') return 0;
            const char letter = static_cast<char>(vk);
            if (!tracking.open) {
                int title = MenuTitleForMnemonic(window, letter);
                if (title >= 0) {
                    SwitchTo(window, title, true);
                    Select(window, FirstSelectable(menu->items[static_cast<size_t>(title)], 0, 1));
                }
                return 0;
            }
            // One item with the letter is chosen at once; several take turns.
            int first = -1, count = 0, after = -1;
            for (int i = 0; i < static_cast<int>(popup.items.size()); ++i) {
                const MenuItem& item = popup.items[static_cast<size_t>(i)];
                if (!Selectable(item) || Mnemonic(item.text.c_str()) != letter) continue;
                if (first < 0) first = i;
                if (after < 0 && i > tracking.selected) after = i;
                ++count;
            }
            if (count == 1 && !(popup.items[static_cast<size_t>(first)].flags & kMenuPopup)) {
                return popup.items[static_cast<size_t>(first)].id;
            }
            if (count > 1) Select(window, after >= 0 ? after : first);
            return 0;
        }
        case WM_MOUSEMOVE:
        case WM_NCMOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_NCLBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_NCLBUTTONUP:
        case WM_RBUTTONDOWN: {
            POINT p = FramePoint(window, msg);
            const bool down = msg.message == WM_LBUTTONDOWN || msg.message == WM_NCLBUTTONDOWN ||
                              msg.message == WM_RBUTTONDOWN;
            const bool up = msg.message == WM_LBUTTONUP || msg.message == WM_NCLBUTTONUP;
            int title = p.y >= 0 && p.y < kMenuBarHeight ? MenuTitleAt(window, p.x, p.y) : -1;
            if (title >= 0) {
                if (down && title == tracking.title && tracking.open) return -1;
                if (down || (title != tracking.title && tracking.open))
                    SwitchTo(window, title, true);
                return 0;
            }
            int item = tracking.open ? ItemAt(window, tracking.title, p.x, p.y) : -1;
            if (item >= 0) {
                const MenuItem& it = popup.items[static_cast<size_t>(item)];
                Select(window, Selectable(it) ? item : -1);
                if (up && Selectable(it) && !(it.flags & kMenuPopup)) return it.id;
                return 0;
            }
            if (down) return -1;
            return 0;
        }
        default:
            return 0;
    }
}

}  // namespace

Menu* ParseMenu(const unsigned char* data, size_t size) {
    if (!data) return nullptr;
    Reader in{data, size, 0, true};
    in.Word();  // version
    WORD headerSize = in.Word();
    in.pos += headerSize;
    auto menu = std::make_unique<Menu>();
    if (!in.ok || !ParseLevel(in, menu->items, 0) || menu->items.empty()) return nullptr;
    menus.push_back(std::move(menu));
    return menus.back().get();
}

Menu* LoadMenuResource(HINSTANCE instance, LPCSTR name) {
    HRSRC found = FindResourceA(instance, name, RT_MENU);
    if (!found) return nullptr;
    HGLOBAL loaded = LoadResource(instance, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return nullptr;
    return ParseMenu(static_cast<const unsigned char*>(bytes), SizeofResource(instance, found));
}

void DestroyMenu(Menu* menu) {
    for (size_t i = 0; i < menus.size(); ++i) {
        if (menus[i].get() == menu) {
            menus.erase(menus.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
    }
}

HMENU MenuHandle(Menu* menu) { return reinterpret_cast<HMENU>(menu); }

void DrawMenuBar(HWND window) { DrawBar(window); }

bool MenuTitleRect(HWND window, int title, RECT* rect) {
    Menu* menu = MenuOf(window);
    if (!menu || title < 0 || title >= static_cast<int>(menu->items.size())) return false;
    int x = 0;
    for (int i = 0; i <= title; ++i) {
        int width =
            MnemonicTextWidth(menu->items[static_cast<size_t>(i)].text.c_str()) + 2 * kTitlePadding;
        if (i == title) {
            *rect = RECT{x, 1, x + width, kMenuBarHeight - 1};
            return true;
        }
        x += width;
    }
    return false;
}

int MenuTitleAt(HWND window, int x, int y) {
    Menu* menu = MenuOf(window);
    if (!menu) return -1;
    for (int i = 0; i < static_cast<int>(menu->items.size()); ++i) {
        RECT r{};
        MenuTitleRect(window, i, &r);
        if (x >= r.left && x < r.right && y >= 0 && y < kMenuBarHeight) return i;
    }
    return -1;
}

int MenuTitleForMnemonic(HWND window, char c) {
    Menu* menu = MenuOf(window);
    if (!menu) return -1;
    const char wanted = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (int i = 0; i < static_cast<int>(menu->items.size()); ++i) {
        if (Mnemonic(menu->items[static_cast<size_t>(i)].text.c_str()) == wanted) return i;
    }
    return -1;
}

bool MenuItemRect(HWND window, UINT id, int* title, RECT* rect) {
    Menu* menu = MenuOf(window);
    if (!menu) return false;
    for (int t = 0; t < static_cast<int>(menu->items.size()); ++t) {
        const MenuItem& popup = menu->items[static_cast<size_t>(t)];
        for (int i = 0; i < static_cast<int>(popup.items.size()); ++i) {
            const MenuItem& item = popup.items[static_cast<size_t>(i)];
            if (!IsSeparator(item) && !(item.flags & kMenuPopup) && item.id == id) {
                *title = t;
                *rect = ItemRect(window, t, i);
                return true;
            }
        }
    }
    return false;
}

int MenuTitleIndex(HWND window, const char* text) {
    Menu* menu = MenuOf(window);
    if (!menu || !text) return -1;
    for (int i = 0; i < static_cast<int>(menu->items.size()); ++i) {
        const std::string& t = menu->items[static_cast<size_t>(i)].text;
        std::string plain;
        for (char c : t) {
            if (c != '&') plain.push_back(c);
        }
        if (t == text || plain == text) return i;
    }
    return -1;
}

bool MenuTracking() { return tracking.active; }

void TrackMenuBar(HWND window, int title, bool keyboard, bool openDropDown) {
    Menu* menu = MenuOf(window);
    if (!menu || tracking.active || title < 0 || title >= static_cast<int>(menu->items.size())) {
        return;
    }
    tracking.active = true;
    tracking.window = window;
    tracking.saved = false;
    SwitchTo(window, title, openDropDown);
    if (keyboard && tracking.open)
        Select(window, FirstSelectable(menu->items[static_cast<size_t>(title)], 0, 1));

    long chosen = 0;
    bool quit = false;
    WPARAM quitCode = 0;
    while (chosen == 0) {
        MSG msg;
        if (!GetMessageA(&msg, nullptr, 0, 0)) {
            quit = true;
            quitCode = msg.wParam;
            break;
        }
        if (!IsWindow(window)) {
            tracking = Tracking{};
            if (quit) PostQuitMessage(static_cast<int>(quitCode));
            return;
        }
        if (IsInput(msg.message)) {
            if (IsWithin(msg.hwnd, window)) {
                chosen = HandleInput(window, msg);
            } else if (msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONDOWN ||
                       msg.message == WM_NCLBUTTONDOWN) {
                // A click anywhere else only closes the menu.
                chosen = -1;
            }
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        if (!IsWindow(window)) {
            tracking = Tracking{};
            return;
        }
        if (GetFocus() == nullptr || TopLevelOf(GetFocus()) != window) {
            chosen = -1;
        } else if (msg.message == WM_PAINT && IsWithin(msg.hwnd, window) && tracking.open) {
            // The window painted under the drop-down: keep the new picture.
            tracking.saved = false;
            DrawDropDown(window);
        }
    }
    RestoreUnder(window);
    tracking = Tracking{};
    DrawBar(window);
    Invalidate(window);
    UpdateWindow(window);
    if (chosen > 0) PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(chosen), 0);
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
}

}  // namespace user

HMENU WINAPI GetMenu(HWND window) {
    user::Window* w = user::Lookup(window);
    return w && !w->parent ? user::MenuHandle(w->menu) : nullptr;
}

DWORD WINAPI CheckMenuItem(HMENU menu, UINT item, UINT check) {
    user::Menu* found = nullptr;
    for (const auto& m : user::menus) {
        if (user::MenuHandle(m.get()) == menu) found = m.get();
    }
    if (!found) return static_cast<DWORD>(-1);
    user::MenuItem* target = nullptr;
    constexpr UINT kByPosition = 0x400;
    if (check & kByPosition) {
        if (item < found->items.size()) target = &found->items[item];
    } else {
        target = user::FindItem(found->items, item);
    }
    if (!target) return static_cast<DWORD>(-1);
    const DWORD previous = target->flags & user::kMenuChecked;
    target->flags = (target->flags & ~user::kMenuChecked) | (check & user::kMenuChecked);
    return previous;
}
