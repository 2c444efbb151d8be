// Static text (SS_LEFT, SS_CENTER, SS_RIGHT: word-wrapped within the
// control) and icons (SS_ICON) of the STATIC class.
#include <cstring>

#include "platform/host/text.h"
#include "platform/user/controls.h"
#include "platform/user/draw.h"
#include "platform/user/icon.h"
#include "platform/user/window.h"

namespace user {
namespace {

struct StaticState {
    HICON icon;
};

// The length of the next line of `text` that fits in `width`: up to the last
// space that fits, or as many characters as fit when a word is too long.
int LineLength(const char* text, int length, int width, int* skip) {
    *skip = 0;
    int lastSpace = -1;
    for (int i = 0; i < length; ++i) {
        if (text[i] == '\n' || text[i] == '\r') {
            *skip = (text[i] == '\r' && i + 1 < length && text[i + 1] == '\n') ? 2 : 1;
            return i;
        }
        if (text[i] == ' ') lastSpace = i;
        if (host::TextWidth(text, i + 1) > width) {
            if (lastSpace > 0) {
                *skip = 1;
                return lastSpace;
            }
            return i > 0 ? i : 1;
        }
    }
    return length;
}

void PaintText(HWND window, const Window* w) {
    host::Framebuffer fb{};
    if (!TopFramebuffer(window, &fb)) return;
    const RECT r = ControlFrameRect(window);
    FillRect(fb, r, kFace);
    const int width = r.right - r.left;
    const int lineHeight = host::TextMetrics().height;
    const char* p = w->text.c_str();
    int left = static_cast<int>(w->text.size());
    const DWORD align = w->style & SS_TYPEMASK;
    for (int y = r.top; left > 0 && y < r.bottom; y += lineHeight) {
        int skip = 0;
        const int n = LineLength(p, left, width, &skip);
        const int lineWidth = host::TextWidth(p, n);
        int x = r.left;
        if (align == SS_CENTER) x += (width - lineWidth) / 2;
        if (align == SS_RIGHT) x += width - lineWidth;
        host::DrawText(fb, x, y, p, n, kText,
                       host::Rect{r.left, r.top, r.right - r.left, r.bottom - r.top});
        p += n + skip;
        left -= n + skip;
    }
    PresentFrame(window, r);
}

void PaintIcon(HWND window, const StaticState* s) {
    host::Framebuffer fb{};
    if (!TopFramebuffer(window, &fb)) return;
    const RECT r = ControlFrameRect(window);
    FillRect(fb, r, kFace);
    RECT shown = r;
    // Drawn at its own size from the top-left corner, as Windows sizes an
    // icon control to its icon.
    if (const IconImage* image = LookupIcon(s->icon)) {
        DrawArgb(fb, r.left, r.top, image->argb.data(), image->width, image->height);
        if (r.left + image->width > shown.right) shown.right = r.left + image->width;
        if (r.top + image->height > shown.bottom) shown.bottom = r.top + image->height;
    }
    PresentFrame(window, shown);
}

}  // namespace

LRESULT CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Lookup(window);
    if (!w) return 0;
    if (message == WM_NCCREATE) {
        w->extra = new StaticState{};
        return TRUE;
    }
    auto* s = static_cast<StaticState*>(w->extra);
    if (message == WM_NCDESTROY) {
        delete s;
        w->extra = nullptr;
        return 0;
    }
    if (!s) return DefWindowProcA(window, message, wParam, lParam);
    const bool icon = (w->style & SS_TYPEMASK) == SS_ICON;
    switch (message) {
        case WM_NCHITTEST:
            // Clicks fall through to the dialog, as they do on Windows.
            return HTTRANSPARENT;
        case WM_PAINT:
            if (icon) {
                PaintIcon(window, s);
            } else {
                PaintText(window, w);
            }
            return DefWindowProcA(window, message, wParam, lParam);
        case STM_SETICON: {
            HICON old = s->icon;
            s->icon = reinterpret_cast<HICON>(wParam);
            Invalidate(window);
            return reinterpret_cast<LRESULT>(old);
        }
        case STM_GETICON:
            return reinterpret_cast<LRESULT>(s->icon);
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace user
