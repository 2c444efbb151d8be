// Push buttons and group boxes of the BUTTON class.
#include <cstring>

#include "platform/host/text.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/draw.h"
#include "platform/user/window.h"

namespace user {
namespace {

struct ButtonState {
    bool pressed;    // the mouse went down on it and is still held
    bool pressedIn;  // ... and the pointer is over it
    bool spaceDown;
};

bool IsGroupBox(const Window* w) { return (w->style & BS_TYPEMASK) == BS_GROUPBOX; }

void PaintPushButton(HWND window, const Window* w, const ButtonState* s) {
    host::Framebuffer fb{};
    if (!TopFramebuffer(window, &fb)) return;
    const RECT r = ControlFrameRect(window);
    FillRect(fb, r, kFace);
    RECT inner = r;
    if ((w->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
        // The default button wears a black frame around its bevel.
        Edge(fb, r, kDarkShadow, kDarkShadow);
        inner = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
    const bool down = (s->pressed && s->pressedIn) || s->spaceDown;
    if (down) {
        Edge(fb, inner, kShadow, kShadow);
    } else {
        RaisedBevel(fb, inner);
    }
    const int shift = down ? 1 : 0;
    const int textWidth = MnemonicTextWidth(w->text.c_str());
    const int textHeight = host::TextMetrics().height;
    DrawMnemonicText(fb, r.left + (r.right - r.left - textWidth) / 2 + shift,
                     r.top + (r.bottom - r.top - textHeight) / 2 + shift, w->text.c_str(), kText,
                     RECT{inner.left + 1, inner.top + 1, inner.right - 1, inner.bottom - 1});
    if (GetFocus() == window) {
        FocusRect(fb, RECT{inner.left + 3, inner.top + 3, inner.right - 3, inner.bottom - 3});
    }
    PresentFrame(window, r);
}

// An etched frame whose top edge runs through the middle of its caption.
void PaintGroupBox(HWND window, const Window* w) {
    host::Framebuffer fb{};
    if (!TopFramebuffer(window, &fb)) return;
    const RECT r = ControlFrameRect(window);
    const int textHeight = host::TextMetrics().height;
    const int y = r.top + textHeight / 2;
    // Only the frame: the group box lies under the controls it groups.
    Edge(fb, RECT{r.left + 1, y + 1, r.right, r.bottom}, kHighlight, kHighlight);
    Edge(fb, RECT{r.left, y, r.right - 1, r.bottom - 1}, kShadow, kShadow);
    if (!w->text.empty()) {
        const int textWidth = MnemonicTextWidth(w->text.c_str());
        RECT gap{r.left + 6, r.top, r.left + 6 + textWidth + 4, r.top + textHeight};
        if (gap.right > r.right - 2) gap.right = r.right - 2;
        FillRect(fb, gap, kFace);
        DrawMnemonicText(fb, gap.left + 2, r.top, w->text.c_str(), kText, gap);
    }
    PresentFrame(window, r);
}

bool Inside(HWND window, LPARAM lParam) {
    RECT client{};
    GetClientRect(window, &client);
    const int x = PointX(lParam), y = PointY(lParam);
    return x >= 0 && y >= 0 && x < client.right && y < client.bottom;
}

}  // namespace

LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Lookup(window);
    if (!w) return 0;
    if (message == WM_NCCREATE) {
        w->extra = new ButtonState{};
        return TRUE;
    }
    auto* s = static_cast<ButtonState*>(w->extra);
    if (message == WM_NCDESTROY) {
        ReleaseDialogCapture(window);
        delete s;
        w->extra = nullptr;
        return 0;
    }
    if (!s) return DefWindowProcA(window, message, wParam, lParam);
    if (IsGroupBox(w)) {
        switch (message) {
            case WM_NCHITTEST:
                return HTTRANSPARENT;
            case WM_PAINT:
                PaintGroupBox(window, w);
                return DefWindowProcA(window, message, wParam, lParam);
            default:
                return DefWindowProcA(window, message, wParam, lParam);
        }
    }
    switch (message) {
        case WM_PAINT:
            PaintPushButton(window, w, s);
            return DefWindowProcA(window, message, wParam, lParam);
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (message == WM_KILLFOCUS) s->spaceDown = false;
            Invalidate(window);
            return 0;
        case WM_LBUTTONDOWN:
            s->pressed = true;
            s->pressedIn = true;
            SetDialogCapture(window);
            if (GetFocus() != window) SetFocus(window);
            Invalidate(window);
            return 0;
        case WM_MOUSEMOVE:
            if (s->pressed && Inside(window, lParam) != s->pressedIn) {
                s->pressedIn = !s->pressedIn;
                Invalidate(window);
            }
            return 0;
        case WM_LBUTTONUP: {
            if (!s->pressed) return 0;
            const bool click = Inside(window, lParam);
            s->pressed = false;
            s->pressedIn = false;
            ReleaseDialogCapture(window);
            Invalidate(window);
            if (click) NotifyParent(window, BN_CLICKED);
            return 0;
        }
        case WM_KEYDOWN:
            if (wParam == VK_SPACE && !s->spaceDown) {
                s->spaceDown = true;
                Invalidate(window);
            }
            return 0;
        case WM_KEYUP:
            if (wParam == VK_SPACE && s->spaceDown) {
                s->spaceDown = false;
                Invalidate(window);
                NotifyParent(window, BN_CLICKED);
            }
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace user
