#include "platform/user/draw.h"

#include <cctype>
#include <cstring>

#include "platform/host/text.h"

namespace user {
namespace {

void Put(const host::Framebuffer& fb, int x, int y, uint32_t colour) {
    if (x < 0 || y < 0 || x >= fb.width || y >= fb.height) return;
    fb.pixels[static_cast<ptrdiff_t>(y) * fb.pitch + x] = colour;
}

// Strips the '&' markers into `out` and tells where the underline goes.
int StripMnemonic(const char* text, char* out, size_t outSize, int* mark) {
    int n = 0;
    *mark = -1;
    for (const char* p = text; *p && static_cast<size_t>(n) + 1 < outSize; ++p) {
        if (*p == '&') {
            ++p;
            if (!*p) break;
            if (*p != '&' && *mark < 0) *mark = n;
        }
        out[n++] = *p;
    }
    out[n] = '\0';
    return n;
}

}  // namespace

void FillRect(const host::Framebuffer& fb, const RECT& r, uint32_t colour) {
    int left = r.left < 0 ? 0 : r.left;
    int top = r.top < 0 ? 0 : r.top;
    int right = r.right > fb.width ? fb.width : r.right;
    int bottom = r.bottom > fb.height ? fb.height : r.bottom;
    for (int y = top; y < bottom; ++y) {
        uint32_t* row = fb.pixels + static_cast<ptrdiff_t>(y) * fb.pitch;
        for (int x = left; x < right; ++x) row[x] = colour;
    }
}

void Edge(const host::Framebuffer& fb, const RECT& r, uint32_t topLeft, uint32_t bottomRight) {
    for (int x = r.left; x < r.right; ++x) {
        Put(fb, x, r.top, topLeft);
        Put(fb, x, r.bottom - 1, bottomRight);
    }
    for (int y = r.top; y < r.bottom; ++y) {
        Put(fb, r.left, y, topLeft);
        Put(fb, r.right - 1, y, bottomRight);
    }
    Put(fb, r.right - 1, r.top, bottomRight);
    Put(fb, r.left, r.bottom - 1, bottomRight);
}

void RaisedBevel(const host::Framebuffer& fb, const RECT& r) {
    Edge(fb, r, kHighlight, kDarkShadow);
    Edge(fb, RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, kFace, kShadow);
}

void SunkenBevel(const host::Framebuffer& fb, const RECT& r) {
    Edge(fb, r, kShadow, kHighlight);
    Edge(fb, RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, kDarkShadow, kFace);
}

void FocusRect(const host::Framebuffer& fb, const RECT& r) {
    for (int x = r.left; x < r.right; x += 2) {
        Put(fb, x, r.top, kText);
        Put(fb, x, r.bottom - 1, kText);
    }
    for (int y = r.top; y < r.bottom; y += 2) {
        Put(fb, r.left, y, kText);
        Put(fb, r.right - 1, y, kText);
    }
}

int MnemonicTextWidth(const char* text) {
    char plain[256];
    int mark = 0;
    int n = StripMnemonic(text ? text : "", plain, sizeof plain, &mark);
    return host::TextWidth(plain, n);
}

void DrawMnemonicText(const host::Framebuffer& fb, int x, int y, const char* text, uint32_t colour,
                      const RECT& clip) {
    char plain[256];
    int mark = 0;
    int n = StripMnemonic(text ? text : "", plain, sizeof plain, &mark);
    host::Rect c{clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top};
    host::DrawText(fb, x, y, plain, n, colour, c);
    if (mark < 0) return;
    int from = x + host::TextWidth(plain, mark);
    int to = from + host::TextWidth(plain + mark, 1);
    int line = y + host::TextMetrics().ascent + 1;
    if (line < clip.top || line >= clip.bottom) return;
    for (int px = from; px < to; ++px) {
        if (px >= clip.left && px < clip.right) Put(fb, px, line, colour);
    }
}

char Mnemonic(const char* text) {
    for (const char* p = text ? text : ""; *p; ++p) {
        if (*p == '&') {
            ++p;
            if (*p != '&' && *p)
                return static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
            if (!*p) break;
        }
    }
    return 0;
}

void DrawQuestionIcon(const host::Framebuffer& fb, int x, int y) {
    // A white speech bubble with a dark rim and a blue question mark.
    static const char* const kMark[] = {
        "..######..", ".########.", "###....###", "###....###", ".......###",
        "......###.", ".....###..", "....###...", "....###...", "....###...",
        "..........", "....###...", "....###...", "....###...",
    };
    const int cx = 15, cy = 14, radius = 13;
    for (int py = 0; py < 32; ++py) {
        for (int px = 0; px < 32; ++px) {
            int dx = px - cx, dy = py - cy;
            int d2 = dx * dx + dy * dy;
            bool inTail = py > cy + 8 && py < 31 && px >= 6 && px < 12 && px - 6 < 31 - py;
            if (d2 <= radius * radius || inTail) {
                bool rim = d2 > (radius - 1) * (radius - 1) && !inTail;
                Put(fb, x + px, y + py, rim ? kText : kHighlight);
            }
        }
    }
    for (int row = 0; row < 14; ++row) {
        for (int col = 0; col < 10; ++col) {
            if (kMark[row][col] == '#') Put(fb, x + 11 + col, y + 7 + row, 0x0000FF);
        }
    }
}

void DrawArgb(const host::Framebuffer& fb, int x, int y, const uint32_t* argb, int width,
              int height) {
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            int px = x + col, py = y + row;
            if (px < 0 || py < 0 || px >= fb.width || py >= fb.height) continue;
            uint32_t s = argb[row * width + col];
            unsigned a = s >> 24;
            if (a == 0) continue;
            uint32_t& d = fb.pixels[static_cast<ptrdiff_t>(py) * fb.pitch + px];
            if (a == 255) {
                d = s & 0xFFFFFF;
                continue;
            }
            uint32_t out = 0;
            for (int shift = 0; shift <= 16; shift += 8) {
                unsigned sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
                out |= ((sc * a + dc * (255 - a) + 127) / 255) << shift;
            }
            d = out;
        }
    }
}

}  // namespace user
