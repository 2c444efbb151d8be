// Single-line edit fields of the EDIT class: a sunken white field with a
// caret, typing, Backspace, Delete, arrows, Home/End and horizontal
// scrolling that keeps the caret in view. There is no length limit.
#include <string>

#include "platform/host/text.h"
#include "platform/user/controls.h"
#include "platform/user/draw.h"
#include "platform/user/window.h"

namespace user {
namespace {

constexpr int kBorder = 2;   // the sunken 3D edge
constexpr int kPadding = 1;  // between the edge and the first character

struct EditState {
    size_t caret;  // characters before the caret
    int scroll;    // pixels of text scrolled out at the left
};

RECT TextArea(HWND window, const Window* w) {
    RECT r{};
    GetClientRect(window, &r);
    const int border = (w->style & WS_BORDER) ? kBorder : 0;
    return RECT{r.left + border + kPadding, r.top + border, r.right - border - kPadding,
                r.bottom - border};
}

int Width(const std::string& text, size_t count) {
    return host::TextWidth(text.c_str(), static_cast<int>(count));
}

void KeepCaretVisible(HWND window, Window* w, EditState* s) {
    const RECT area = TextArea(window, w);
    const int visible = area.right - area.left;
    const int caretX = Width(w->text, s->caret);
    const int total = Width(w->text, w->text.size());
    if (caretX - s->scroll > visible - 1) s->scroll = caretX - visible + 1;
    // Scrolling back left shows a third of the field before the caret, so
    // Backspace at the edge does not move the text one pixel at a time.
    if (caretX < s->scroll) s->scroll = caretX - visible / 3;
    if (s->scroll > 0 && total - s->scroll < visible - 1) s->scroll = total - visible + 1;
    if (s->scroll < 0) s->scroll = 0;
}

void Paint(HWND window, const Window* w, const EditState* s) {
    host::Framebuffer fb{};
    if (!TopFramebuffer(window, &fb)) return;
    const RECT r = ControlFrameRect(window);
    POINT origin = ClientOriginInFrame(window);
    RECT area = TextArea(window, w);
    OffsetRect(&area, origin.x, origin.y);
    const int border = (w->style & WS_BORDER) ? kBorder : 0;
    const RECT field{r.left + border, r.top + border, r.right - border, r.bottom - border};
    FillRect(fb, field, kHighlight);
    if (border) SunkenBevel(fb, r);
    const int lineHeight = host::TextMetrics().height;
    int top = area.top + (area.bottom - area.top - lineHeight) / 2;
    if (top < area.top) top = area.top;
    const host::Rect clip{area.left, area.top, area.right - area.left, area.bottom - area.top};
    host::DrawText(fb, area.left - s->scroll, top, w->text.c_str(),
                   static_cast<int>(w->text.size()), kText, clip);
    if (GetFocus() == window) {
        const int x = area.left + Width(w->text, s->caret) - s->scroll;
        if (x >= area.left - kPadding && x < area.right + kPadding) {
            FillRect(fb,
                     RECT{x, top, x + 1,
                          top + lineHeight < area.bottom ? top + lineHeight : area.bottom},
                     kText);
        }
    }
    PresentFrame(window, r);
}

// The character boundary nearest to a client x.
size_t CaretAt(HWND window, const Window* w, const EditState* s, int x) {
    const RECT area = TextArea(window, w);
    const int want = x - area.left + s->scroll;
    size_t best = 0;
    int bestDistance = want < 0 ? -want : want;
    for (size_t i = 1; i <= w->text.size(); ++i) {
        int d = Width(w->text, i) - want;
        if (d < 0) d = -d;
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

void Changed(HWND window, Window* w, EditState* s, bool textChanged) {
    KeepCaretVisible(window, w, s);
    Invalidate(window);
    if (textChanged) NotifyParent(window, EN_CHANGE);
}

}  // namespace

LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Lookup(window);
    if (!w) return 0;
    if (message == WM_NCCREATE) {
        w->extra = new EditState{};
        return TRUE;
    }
    auto* s = static_cast<EditState*>(w->extra);
    if (message == WM_NCDESTROY) {
        delete s;
        w->extra = nullptr;
        return 0;
    }
    if (!s) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case WM_PAINT:
            Paint(window, w, s);
            return DefWindowProcA(window, message, wParam, lParam);
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            Invalidate(window);
            NotifyParent(window, message == WM_SETFOCUS ? EN_SETFOCUS : EN_KILLFOCUS);
            return 0;
        case WM_LBUTTONDOWN:
            if (GetFocus() != window) SetFocus(window);
            if ((w = Lookup(window)) == nullptr) return 0;
            s->caret = CaretAt(window, w, s, PointX(lParam));
            Changed(window, w, s, false);
            return 0;
        case WM_KEYDOWN:
            switch (wParam) {
                case VK_LEFT:
                    if (s->caret > 0) --s->caret;
                    break;
                case VK_RIGHT:
                    if (s->caret < w->text.size()) ++s->caret;
                    break;
                case VK_HOME:
                    s->caret = 0;
                    break;
                case VK_END:
                    s->caret = w->text.size();
                    break;
                case VK_DELETE:
                    if (s->caret < w->text.size()) {
                        w->text.erase(s->caret, 1);
                        Changed(window, w, s, true);
                    }
                    return 0;
                default:
                    return 0;
            }
            Changed(window, w, s, false);
            return 0;
        case WM_CHAR: {
            const auto c = static_cast<unsigned char>(wParam & 0xFF);
            if (c == 8) {
                if (s->caret > 0) {
                    w->text.erase(--s->caret, 1);
                    Changed(window, w, s, true);
                }
            } else if (c >= 0x20 && c != 0x7F) {
                w->text.insert(s->caret++, 1, static_cast<char>(c));
                Changed(window, w, s, true);
            }
            return 0;
        }
        case WM_SETTEXT: {
            LRESULT result = DefWindowProcA(window, message, wParam, lParam);
            s->caret = 0;
            s->scroll = 0;
            Changed(window, w, s, true);
            return result;
        }
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

// The caret and scroll position, for tests of the layer.
bool EditCaret(HWND window, size_t* caret, int* scroll) {
    Window* w = Lookup(window);
    if (!w || w->proc != EditProc || !w->extra) return false;
    const auto* s = static_cast<const EditState*>(w->extra);
    if (caret) *caret = s->caret;
    if (scroll) *scroll = s->scroll;
    return true;
}

}  // namespace user
