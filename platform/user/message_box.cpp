#include <cstring>
#include <string>
#include <vector>

#include "platform/host/host.h"
#include "platform/host/text.h"
#include "platform/user/draw.h"
#include "platform/user/message_box.h"
#include "platform/user/modal.h"
#include "platform/user/window.h"

namespace user {
namespace {

constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kMaxTextWidth = 360;
constexpr char kClassName[] = "TumblaMessageBox";

struct Button {
    int result;
    const char* label;
    char key;  // the letter that presses it, upper case
    RECT rect;
};

struct Box {
    std::vector<std::string> lines;
    bool icon;
    RECT textRect;
    Button buttons[2];
    int count;
    int focused;
    int pressed;     // the button held down by the mouse, or -1
    bool pressedIn;  // the pointer is still over it
    int escape;      // result of Esc and the close button
    int result;      // 0 while the box runs
};

// Word wrap at spaces, and at explicit line breaks.
std::vector<std::string> Wrap(const char* text, int maxWidth) {
    std::vector<std::string> lines;
    std::string line;
    const char* p = text ? text : "";
    while (true) {
        const char* end = p;
        while (*end && *end != ' ' && *end != '\n' && *end != '\r') ++end;
        std::string word(p, end);
        std::string candidate = line.empty() ? word : line + " " + word;
        if (!line.empty() &&
            host::TextWidth(candidate.c_str(), static_cast<int>(candidate.size())) > maxWidth) {
            lines.push_back(line);
            line = word;
        } else {
            line = candidate;
        }
        if (*end == '\r' && end[1] == '\n') ++end;
        if (*end == '\n' || *end == '\r') {
            lines.push_back(line);
            line.clear();
        } else if (!*end) {
            break;
        }
        p = end + 1;
    }
    lines.push_back(line);
    return lines;
}

void DrawButton(const host::Framebuffer& fb, POINT origin, const Button& b, bool isDefault,
                bool focused, bool down) {
    RECT r = b.rect;
    OffsetRect(&r, origin.x, origin.y);
    FillRect(fb, r, kFace);
    RECT inner = r;
    if (isDefault) {
        Edge(fb, r, kDarkShadow, kDarkShadow);
        inner = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
    if (down) {
        Edge(fb, inner, kShadow, kShadow);
    } else {
        RaisedBevel(fb, inner);
    }
    const int shift = down ? 1 : 0;
    const int textWidth = host::TextWidth(b.label, static_cast<int>(std::strlen(b.label)));
    const int textHeight = host::TextMetrics().height;
    host::DrawText(fb, r.left + (r.right - r.left - textWidth) / 2 + shift,
                   r.top + (r.bottom - r.top - textHeight) / 2 + shift, b.label,
                   static_cast<int>(std::strlen(b.label)), kText,
                   host::Rect{r.left, r.top, r.right - r.left, r.bottom - r.top});
    if (focused) FocusRect(fb, RECT{r.left + 4, r.top + 4, r.right - 4, r.bottom - 4});
}

void Paint(HWND window, Box* box) {
    host::Framebuffer fb{};
    if (!TopFramebuffer(window, &fb)) return;
    RECT client{};
    GetClientRect(window, &client);
    POINT origin = ClientOriginInFrame(window);
    OffsetRect(&client, origin.x, origin.y);
    FillRect(fb, client, kFace);
    if (box->icon) DrawQuestionIcon(fb, origin.x + kMargin, origin.y + kMargin);
    const int lineHeight = host::TextMetrics().height;
    int y = box->textRect.top;
    for (const std::string& line : box->lines) {
        host::DrawText(fb, origin.x + box->textRect.left, origin.y + y, line.c_str(),
                       static_cast<int>(line.size()), kText,
                       host::Rect{client.left, client.top, client.right - client.left,
                                  client.bottom - client.top});
        y += lineHeight;
    }
    for (int i = 0; i < box->count; ++i) {
        // The focused button is the one Enter presses, so it wears the
        // default frame.
        DrawButton(fb, origin, box->buttons[i], i == box->focused, i == box->focused,
                   i == box->pressed && box->pressedIn);
    }
    PresentFrame(window, client);
}

int ButtonAt(const Box* box, LPARAM lParam) {
    int x = static_cast<int16_t>(lParam & 0xFFFF);
    int y = static_cast<int16_t>((lParam >> 16) & 0xFFFF);
    for (int i = 0; i < box->count; ++i) {
        const RECT& r = box->buttons[i].rect;
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return i;
    }
    return -1;
}

LRESULT CALLBACK MessageBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Lookup(window);
    Box* box = w ? static_cast<Box*>(w->extra) : nullptr;
    if (!box) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case WM_PAINT:
            Paint(window, box);
            return DefWindowProcA(window, message, wParam, lParam);
        case WM_CLOSE:
            box->result = box->escape;
            return 0;
        case WM_KEYDOWN: {
            const UINT vk = static_cast<UINT>(wParam);
            if (vk == VK_RETURN || vk == VK_SPACE) {
                box->result = box->buttons[box->focused].result;
            } else if (vk == VK_ESCAPE) {
                box->result = box->escape;
            } else if (vk == VK_TAB || vk == VK_RIGHT || vk == VK_DOWN || vk == VK_LEFT ||
                       vk == VK_UP) {
                const bool back = vk == VK_LEFT || vk == VK_UP;
                box->focused = (box->focused + (back ? box->count - 1 : 1)) % box->count;
                Paint(window, box);
            } else {
                for (int i = 0; i < box->count; ++i) {
                    if (box->buttons[i].key && vk == static_cast<UINT>(box->buttons[i].key)) {
                        box->result = box->buttons[i].result;
                    }
                }
            }
            return 0;
        }
        case WM_LBUTTONDOWN: {
            int hit = ButtonAt(box, lParam);
            if (hit >= 0) {
                box->pressed = hit;
                box->pressedIn = true;
                box->focused = hit;
                Paint(window, box);
            }
            return 0;
        }
        case WM_MOUSEMOVE:
            if (box->pressed >= 0) {
                bool in = ButtonAt(box, lParam) == box->pressed;
                if (in != box->pressedIn) {
                    box->pressedIn = in;
                    Paint(window, box);
                }
            }
            return 0;
        case WM_LBUTTONUP:
            if (box->pressed >= 0) {
                int hit = ButtonAt(box, lParam);
                if (hit == box->pressed) box->result = box->buttons[hit].result;
                box->pressed = -1;
                box->pressedIn = false;
                if (!box->result) Paint(window, box);
            }
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

void Layout(Box* box, const char* text, int* width, int* height) {
    box->lines = Wrap(text, kMaxTextWidth);
    int textWidth = 0;
    for (const std::string& line : box->lines) {
        int w = host::TextWidth(line.c_str(), static_cast<int>(line.size()));
        if (w > textWidth) textWidth = w;
    }
    const int textHeight = static_cast<int>(box->lines.size()) * host::TextMetrics().height;
    const int textLeft = box->icon ? kMargin + kIconSize + kMargin : kMargin + 6;
    int contentHeight = textHeight;
    int textTop = kMargin;
    if (box->icon) {
        if (contentHeight < kIconSize) {
            textTop = kMargin + (kIconSize - textHeight) / 2;
            contentHeight = kIconSize;
        }
    } else {
        textTop = kMargin + 4;
        contentHeight += 8;
    }
    box->textRect = RECT{textLeft, textTop, textLeft + textWidth, textTop + textHeight};
    const int row = box->count * kButtonWidth + (box->count - 1) * kButtonGap;
    int w = textLeft + textWidth + kMargin + 6;
    if (w < row + 2 * kMargin) w = row + 2 * kMargin;
    if (w < 120) w = 120;
    const int buttonsTop = kMargin + contentHeight + 14;
    int x = (w - row) / 2;
    for (int i = 0; i < box->count; ++i) {
        box->buttons[i].rect = RECT{x, buttonsTop, x + kButtonWidth, buttonsTop + kButtonHeight};
        x += kButtonWidth + kButtonGap;
    }
    *width = w;
    *height = buttonsTop + kButtonHeight + kMargin;
}

}  // namespace

bool MessageBoxButtonRect(HWND window, int result, RECT* rect) {
    Window* w = Lookup(window);
    if (!w || w->proc != MessageBoxProc || !w->extra || !rect) return false;
    const Box* box = static_cast<const Box*>(w->extra);
    for (int i = 0; i < box->count; ++i) {
        if (box->buttons[i].result == result) {
            *rect = box->buttons[i].rect;
            return true;
        }
    }
    return false;
}

}  // namespace user

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (!host::VideoAvailable()) return 0;
    static bool registered = false;
    if (!registered) {
        WNDCLASSA cls{};
        cls.lpfnWndProc = user::MessageBoxProc;
        cls.lpszClassName = user::kClassName;
        RegisterClassA(&cls);
        registered = true;
    }
    user::Box box{};
    box.icon = (type & 0xF0) == MB_ICONQUESTION;
    if ((type & 0x0F) == MB_YESNO) {
        box.buttons[0] = user::Button{IDYES, "Yes", 'Y', {}};
        box.buttons[1] = user::Button{IDNO, "No", 'N', {}};
        box.count = 2;
        box.escape = IDNO;
    } else {
        box.buttons[0] = user::Button{IDOK, "OK", 0, {}};
        box.count = 1;
        box.escape = IDOK;
    }
    box.focused = (type & MB_DEFBUTTON2) && box.count > 1 ? 1 : 0;
    box.pressed = -1;
    int width = 0, height = 0;
    user::Layout(&box, text, &width, &height);

    if (owner && !IsWindow(owner)) owner = nullptr;
    HWND window =
        CreateWindowExA(WS_EX_DLGMODALFRAME, user::kClassName, caption ? caption : "Error",
                        WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CENTER, 0, 0, width, height, owner,
                        nullptr, nullptr, nullptr);
    if (!window) return 0;
    user::Lookup(window)->extra = &box;
    user::ModalState modal = user::BeginModal(window, owner);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);

    bool quit = false;
    WPARAM quitCode = 0;
    while (box.result == 0 && IsWindow(window)) {
        MSG msg;
        if (!GetMessageA(&msg, nullptr, 0, 0)) {
            // Someone asked the program to end: leave with the cautious answer
            // and let the outer loop see the request too.
            quit = true;
            quitCode = msg.wParam;
            box.result = box.escape;
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (box.result == 0) box.result = box.escape;
    user::EndModal(modal);
    if (user::Window* w = user::Lookup(window)) w->extra = nullptr;
    DestroyWindow(window);
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    return box.result;
}
