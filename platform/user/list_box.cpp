// List boxes of the LISTBOX class: one line an item, a sunken white field,
// a vertical scroll bar when the items do not all fit, selection by click
// and arrow keys. LB_INSERTSTRING never sorts, even with LBS_SORT; only
// LB_ADDSTRING does.
#include <strings.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/host/text.h"
#include "platform/user/controls.h"
#include "platform/user/draw.h"
#include "platform/user/window.h"

namespace user {
namespace {

constexpr int kBorder = 2;
constexpr int kScrollBarWidth = 16;

struct ListState {
    std::vector<std::string> items;
    int selected;  // -1: none
    int caret;     // the item with the focus rectangle
    int top;       // the first item shown
};

struct Layout {
    RECT items;      // client coordinates of the item area
    RECT scrollBar;  // empty when there is none
    int itemHeight;
    int fullRows;  // rows shown whole
};

int Count(const ListState* s) { return static_cast<int>(s->items.size()); }

Layout Measure(HWND window, const Window* w, const ListState* s) {
    Layout l{};
    RECT r{};
    GetClientRect(window, &r);
    const int border = (w->style & WS_BORDER) ? kBorder : 0;
    l.items = RECT{r.left + border, r.top + border, r.right - border, r.bottom - border};
    l.itemHeight = host::TextMetrics().height;
    if (l.itemHeight < 1) l.itemHeight = 1;
    l.fullRows = (l.items.bottom - l.items.top) / l.itemHeight;
    if (l.fullRows < 1) l.fullRows = 1;
    // As on Windows, the scroll bar shows only while it has something to do.
    if ((w->style & WS_VSCROLL) && Count(s) > l.fullRows) {
        l.scrollBar =
            RECT{l.items.right - kScrollBarWidth, l.items.top, l.items.right, l.items.bottom};
        l.items.right -= kScrollBarWidth;
    }
    return l;
}

int MaxTop(const ListState* s, const Layout& l) {
    const int max = Count(s) - l.fullRows;
    return max > 0 ? max : 0;
}

void ClampTop(ListState* s, const Layout& l) {
    if (s->top > MaxTop(s, l)) s->top = MaxTop(s, l);
    if (s->top < 0) s->top = 0;
}

void EnsureVisible(ListState* s, const Layout& l, int index) {
    if (index < 0) return;
    if (index < s->top) s->top = index;
    if (index >= s->top + l.fullRows) s->top = index - l.fullRows + 1;
    ClampTop(s, l);
}

void Arrow(const host::Framebuffer& fb, const RECT& r, bool up) {
    FillRect(fb, r, kFace);
    RaisedBevel(fb, r);
    const int cx = (r.left + r.right) / 2 - 1;
    const int cy = (r.top + r.bottom) / 2;
    for (int row = 0; row < 4; ++row) {
        const int y = up ? cy - 2 + row : cy + 1 - row;
        FillRect(fb, RECT{cx - row, y, cx + row + 1, y + 1}, kText);
    }
}

void PaintScrollBar(const host::Framebuffer& fb, POINT origin, const Layout& l,
                    const ListState* s) {
    RECT bar = l.scrollBar;
    OffsetRect(&bar, origin.x, origin.y);
    const int arrow = kScrollBarWidth;
    Arrow(fb, RECT{bar.left, bar.top, bar.right, bar.top + arrow}, true);
    Arrow(fb, RECT{bar.left, bar.bottom - arrow, bar.right, bar.bottom}, false);
    const RECT track{bar.left, bar.top + arrow, bar.right, bar.bottom - arrow};
    // The classic track: face and white pixels in a checkerboard.
    for (int y = track.top; y < track.bottom; ++y) {
        for (int x = track.left; x < track.right; ++x) {
            FillRect(fb, RECT{x, y, x + 1, y + 1}, ((x + y) & 1) ? kHighlight : kFace);
        }
    }
    const int trackHeight = track.bottom - track.top;
    const int count = Count(s) > 0 ? Count(s) : 1;
    int thumb = trackHeight * l.fullRows / count;
    if (thumb < 8) thumb = 8;
    if (thumb > trackHeight) thumb = trackHeight;
    const int range = MaxTop(s, l);
    const int at = range > 0 ? (trackHeight - thumb) * s->top / range : 0;
    RECT box{track.left, track.top + at, track.right, track.top + at + thumb};
    FillRect(fb, box, kFace);
    RaisedBevel(fb, box);
}

void Paint(HWND window, const Window* w, const ListState* s) {
    host::Framebuffer fb{};
    if (!TopFramebuffer(window, &fb)) return;
    const RECT r = ControlFrameRect(window);
    const POINT origin = ClientOriginInFrame(window);
    const Layout l = Measure(window, w, s);
    RECT items = l.items;
    OffsetRect(&items, origin.x, origin.y);
    FillRect(fb, items, kHighlight);
    if (w->style & WS_BORDER) SunkenBevel(fb, r);
    const bool right = (w->exStyle & WS_EX_RIGHT) != 0;
    const bool focused = GetFocus() == window;
    for (int i = s->top; i < Count(s); ++i) {
        const int y = items.top + (i - s->top) * l.itemHeight;
        if (y >= items.bottom) break;
        RECT row{items.left, y, items.right, y + l.itemHeight};
        if (row.bottom > items.bottom) row.bottom = items.bottom;
        const bool selected = i == s->selected;
        if (selected) FillRect(fb, row, kSelection);
        const std::string& text = s->items[static_cast<size_t>(i)];
        const int n = static_cast<int>(text.size());
        const int x = right ? row.right - 2 - host::TextWidth(text.c_str(), n) : row.left + 2;
        host::DrawText(fb, x, y, text.c_str(), n, selected ? kSelectionText : kText,
                       host::Rect{row.left, row.top, row.right - row.left, row.bottom - row.top});
        if (focused && i == s->caret) FocusRect(fb, row);
    }
    if (focused && Count(s) == 0) {
        FocusRect(fb, RECT{items.left, items.top, items.right, items.top + l.itemHeight});
    }
    if (l.scrollBar.right > l.scrollBar.left) PaintScrollBar(fb, origin, l, s);
    PresentFrame(window, r);
}

void Select(HWND window, const Window* w, ListState* s, int index) {
    if (Count(s) == 0) return;
    if (index < 0) index = 0;
    if (index >= Count(s)) index = Count(s) - 1;
    const bool changed = index != s->selected;
    s->selected = index;
    s->caret = index;
    EnsureVisible(s, Measure(window, w, s), index);
    Invalidate(window);
    if (changed && (w->style & LBS_NOTIFY)) NotifyParent(window, LBN_SELCHANGE);
}

void Click(HWND window, const Window* w, ListState* s, int x, int y) {
    const Layout l = Measure(window, w, s);
    const RECT& bar = l.scrollBar;
    if (bar.right > bar.left && x >= bar.left && x < bar.right && y >= bar.top && y < bar.bottom) {
        if (y < bar.top + kScrollBarWidth) {
            --s->top;
        } else if (y >= bar.bottom - kScrollBarWidth) {
            ++s->top;
        } else {
            // A click on the track pages towards it.
            const int middle = (bar.top + bar.bottom) / 2;
            s->top += y < middle ? -l.fullRows : l.fullRows;
        }
        ClampTop(s, l);
        Invalidate(window);
        return;
    }
    if (x < l.items.left || x >= l.items.right || y < l.items.top || y >= l.items.bottom) return;
    const int index = s->top + (y - l.items.top) / l.itemHeight;
    if (index < Count(s)) Select(window, w, s, index);
}

LRESULT Insert(HWND window, const Window* w, ListState* s, int index, LPCSTR text) {
    if (index == -1) index = Count(s);
    if (index < 0 || index > Count(s)) return LB_ERR;
    s->items.insert(s->items.begin() + index, text ? text : "");
    if (s->selected >= index) ++s->selected;
    ClampTop(s, Measure(window, w, s));
    Invalidate(window);
    return index;
}

}  // namespace

LRESULT CALLBACK ListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Lookup(window);
    if (!w) return 0;
    if (message == WM_NCCREATE) {
        w->extra = new ListState{{}, -1, 0, 0};
        return TRUE;
    }
    auto* s = static_cast<ListState*>(w->extra);
    if (message == WM_NCDESTROY) {
        delete s;
        w->extra = nullptr;
        return 0;
    }
    if (!s) return DefWindowProcA(window, message, wParam, lParam);
    const int index = static_cast<int>(static_cast<INT_PTR>(wParam));
    switch (message) {
        case WM_PAINT:
            Paint(window, w, s);
            return DefWindowProcA(window, message, wParam, lParam);
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            Invalidate(window);
            NotifyParent(window, message == WM_SETFOCUS ? LBN_SETFOCUS : LBN_KILLFOCUS);
            return 0;
        case WM_LBUTTONDOWN:
            if (GetFocus() != window) SetFocus(window);
            if (!Lookup(window)) return 0;
            Click(window, w, s, PointX(lParam), PointY(lParam));
            return 0;
        case WM_KEYDOWN: {
            const int rows = Measure(window, w, s).fullRows;
            const int from = s->selected >= 0 ? s->selected : s->caret;
            switch (wParam) {
                case VK_UP:
                    Select(window, w, s, s->selected < 0 ? from : from - 1);
                    break;
                case VK_DOWN:
                    Select(window, w, s, s->selected < 0 ? from : from + 1);
                    break;
                case VK_PRIOR:
                    Select(window, w, s, from - (rows > 1 ? rows - 1 : 1));
                    break;
                case VK_NEXT:
                    Select(window, w, s, from + (rows > 1 ? rows - 1 : 1));
                    break;
                case VK_HOME:
                    Select(window, w, s, 0);
                    break;
                case VK_END:
                    Select(window, w, s, Count(s) - 1);
                    break;
                default:
                    break;
            }
            return 0;
        }
        case LB_ADDSTRING: {
            LPCSTR text = reinterpret_cast<LPCSTR>(lParam);
            int at = Count(s);
            if (w->style & LBS_SORT) {
                // Case-insensitive, after its equals, as users expect.
                at = 0;
                while (at < Count(s) && strcasecmp(s->items[static_cast<size_t>(at)].c_str(),
                                                   text ? text : "") <= 0) {
                    ++at;
                }
            }
            return Insert(window, w, s, at, text);
        }
        case LB_INSERTSTRING:
            return Insert(window, w, s, index, reinterpret_cast<LPCSTR>(lParam));
        case LB_DELETESTRING:
            if (index < 0 || index >= Count(s)) return LB_ERR;
            s->items.erase(s->items.begin() + index);
            if (s->selected == index) s->selected = -1;
            if (s->selected > index) --s->selected;
            if (s->caret >= Count(s)) s->caret = Count(s) > 0 ? Count(s) - 1 : 0;
            ClampTop(s, Measure(window, w, s));
            Invalidate(window);
            return Count(s);
        case LB_RESETCONTENT:
            s->items.clear();
            s->selected = -1;
            s->caret = 0;
            s->top = 0;
            Invalidate(window);
            return 0;
        case LB_GETCOUNT:
            return Count(s);
        case LB_GETTEXT: {
            if (index < 0 || index >= Count(s) || !lParam) return LB_ERR;
            const std::string& text = s->items[static_cast<size_t>(index)];
            std::memcpy(reinterpret_cast<char*>(lParam), text.c_str(), text.size() + 1);
            return static_cast<LRESULT>(text.size());
        }
        case LB_GETTEXTLEN:
            if (index < 0 || index >= Count(s)) return LB_ERR;
            return static_cast<LRESULT>(s->items[static_cast<size_t>(index)].size());
        case LB_GETCURSEL:
            return s->selected;
        case LB_SETCURSEL:
            if (index < -1 || index >= Count(s)) return LB_ERR;
            s->selected = index;
            if (index >= 0) {
                s->caret = index;
                EnsureVisible(s, Measure(window, w, s), index);
            }
            Invalidate(window);
            return index < 0 ? LB_ERR : index;
        case LB_GETTOPINDEX:
            return s->top;
        case LB_SETTOPINDEX:
            if (index < 0 || index >= (Count(s) > 0 ? Count(s) : 1)) return LB_ERR;
            s->top = index;
            ClampTop(s, Measure(window, w, s));
            Invalidate(window);
            return 0;
        case LB_GETITEMHEIGHT:
            return Measure(window, w, s).itemHeight;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace user
