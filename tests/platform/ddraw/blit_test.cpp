#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "platform/gdi/surface_dc.h"
#include "platform/win32.h"
#include "tests/platform/ddraw/display_fixture.h"

namespace {

constexpr uint32_t kMark = 0x00ABCDEF;

// What an exact area-weighted shrink (or a nearest-pixel stretch along an
// axis that grows) gives for destination pixel (i, k), in floating point.
uint32_t Reference(const std::function<uint32_t(int, int)>& source, int sw, int sh, int dw, int dh,
                   int i, int k) {
    auto span = [](int s, int d, int i, double* lo, double* hi) {
        if (s > d) {
            *lo = static_cast<double>(i) * s / d;
            *hi = static_cast<double>(i + 1) * s / d;
        } else {
            *lo = std::floor((i + 0.5) * s / d);
            *hi = *lo + 1;
        }
    };
    double x0, x1, y0, y1;
    span(sw, dw, i, &x0, &x1);
    span(sh, dh, k, &y0, &y1);
    double sum[3] = {0, 0, 0};
    for (int y = static_cast<int>(y0); y < y1; ++y) {
        const double wy = std::min<double>(y + 1, y1) - std::max<double>(y, y0);
        for (int x = static_cast<int>(x0); x < x1; ++x) {
            const double wx = std::min<double>(x + 1, x1) - std::max<double>(x, x0);
            const uint32_t p = source(x, y);
            sum[0] += wx * wy * ((p >> 16) & 255);
            sum[1] += wx * wy * ((p >> 8) & 255);
            sum[2] += wx * wy * (p & 255);
        }
    }
    const double area = (x1 - x0) * (y1 - y0);
    uint32_t out = 0;
    for (double channel : sum) out = out << 8 | static_cast<uint32_t>(std::lround(channel / area));
    return out;
}

bool Near(uint32_t a, uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = static_cast<int>((a >> shift) & 255) - static_cast<int>((b >> shift) & 255);
        if (d < -1 || d > 1) return false;
    }
    return (a >> 24) == (b >> 24);
}

}  // namespace

TEST_F(DisplayTest, SameSizeBlitCopiesExactPixelsAndClips) {
    LPDIRECTDRAWSURFACE sheet = Offscreen(80, 70);
    Paint(sheet, Pattern);
    struct Case {
        RECT dest;
        RECT source;
    };
    const Case cases[] = {
        {{10, 20, 40, 60}, {5, 3, 35, 43}},
        {{-10, -5, 20, 35}, {0, 0, 30, 40}},       // hangs off the top left
        {{620, 460, 650, 500}, {50, 30, 80, 70}},  // off the bottom right
    };
    for (const Case& c : cases) {
        Paint(back, [](int, int) { return kMark; });
        RECT dest = c.dest, source = c.source;
        ASSERT_EQ(back->Blt(&dest, sheet, &source, DDBLT_WAIT, nullptr), DD_OK);
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                const bool inside =
                    x >= c.dest.left && x < c.dest.right && y >= c.dest.top && y < c.dest.bottom;
                const uint32_t expected =
                    inside ? Pattern(x - c.dest.left + c.source.left, y - c.dest.top + c.source.top)
                           : kMark;
                ASSERT_EQ(Pixel(back, x, y), expected) << x << "," << y;
            }
        }
    }
}

TEST_F(DisplayTest, BlitRefusesSourceRectanglesOutsideTheSource) {
    LPDIRECTDRAWSURFACE sheet = Offscreen(80, 70);
    const RECT bad[] = {
        {-1, 0, 30, 40}, {0, 0, 81, 40}, {0, 31, 30, 71}, {10, 10, 10, 20}, {20, 10, 10, 20}};
    RECT dest = {0, 0, 30, 40};
    for (RECT source : bad) {
        EXPECT_EQ(back->Blt(&dest, sheet, &source, DDBLT_WAIT, nullptr), DDERR_INVALIDPARAMS);
    }
    RECT empty = {5, 5, 5, 9};
    RECT source = {0, 0, 30, 40};
    EXPECT_EQ(back->Blt(&empty, sheet, &source, DDBLT_WAIT, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(back->Blt(&dest, nullptr, &source, DDBLT_WAIT, nullptr), DDERR_INVALIDPARAMS);
    // The screen cannot be a source.
    EXPECT_EQ(back->Blt(&dest, primary, &source, DDBLT_WAIT, nullptr), DDERR_INVALIDPARAMS);
    // Entirely outside the destination: nothing to draw, no error.
    RECT outside = {700, 0, 730, 40};
    EXPECT_EQ(back->Blt(&outside, sheet, &source, DDBLT_WAIT, nullptr), DD_OK);
}

TEST_F(DisplayTest, BlitWithinOneSurfaceReadsTheOldPicture) {
    Paint(back, Pattern);
    RECT dest = {3, 2, 203, 102};
    RECT source = {0, 0, 200, 100};
    ASSERT_EQ(back->Blt(&dest, back, &source, DDBLT_WAIT, nullptr), DD_OK);
    for (int y = 2; y < 102; ++y) {
        for (int x = 3; x < 203; ++x) ASSERT_EQ(Pixel(back, x, y), Pattern(x - 3, y - 2));
    }
    // Shrinking within itself too.
    Paint(back, Pattern);
    RECT small = {1, 1, 101, 51};
    ASSERT_EQ(back->Blt(&small, back, &source, DDBLT_WAIT, nullptr), DD_OK);
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 100; ++x) {
            ASSERT_TRUE(
                Near(Pixel(back, x + 1, y + 1), Reference(Pattern, 200, 100, 100, 50, x, y)));
        }
    }
}

// With the client area at screen (100, 50), the back buffer goes to
// (100, 50, 740, 530): client (0, 0)-(600, 400) is covered, nothing outside.
TEST_F(DisplayTest, PrimaryBlitLandsInTheClientAreaOnly) {
    Paint(back, Pattern);
    RECT screen = {100, 50, 100 + 640, 50 + 480};
    ASSERT_EQ(primary->Blt(&screen, back, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    for (int y = 0; y < 400; ++y) {
        for (int x = 0; x < 600; ++x) ASSERT_EQ(window().At(x, y), Pattern(x, y)) << x << "," << y;
    }
    EXPECT_TRUE(window().GuardsIntact());
    ASSERT_EQ(window().unlocked.size(), 1u);
    const RECT changed = window().unlocked[0];
    EXPECT_EQ(changed.left, 0);
    EXPECT_EQ(changed.top, 0);
    EXPECT_EQ(changed.right, 600);
    EXPECT_EQ(changed.bottom, 400);

    // A blit partly left of and above the client area.
    window().Reset(600, 400);
    RECT region = {0, 0, 100, 80};
    RECT partly = {60, 20, 160, 100};
    ASSERT_EQ(primary->Blt(&partly, back, &region, DDBLT_WAIT, nullptr), DD_OK);
    for (int y = 0; y < 400; ++y) {
        for (int x = 0; x < 600; ++x) {
            const uint32_t expected =
                x < 60 && y < 50 ? Pattern(x + 40, y + 30) : FakeWindow::kBackground;
            ASSERT_EQ(window().At(x, y), expected) << x << "," << y;
        }
    }
    EXPECT_TRUE(window().GuardsIntact());
    ASSERT_EQ(window().unlocked.size(), 1u);
    EXPECT_EQ(window().unlocked[0].right, 60);
    EXPECT_EQ(window().unlocked[0].bottom, 50);
}

TEST_F(DisplayTest, PrimaryBlitWithoutAVisibleWindowDrawsNothing) {
    Paint(back, Pattern);
    RECT screen = {100, 50, 740, 530};
    // Hidden window: nothing of it shows, which is no error.
    window().shown = false;
    EXPECT_EQ(primary->Blt(&screen, back, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    window().shown = true;
    // No clipper: no window to draw into.
    ASSERT_EQ(primary->SetClipper(nullptr), DD_OK);
    EXPECT_EQ(primary->Blt(&screen, back, nullptr, DDBLT_WAIT, nullptr), DDERR_NOCLIPPERATTACHED);
    // A clipper without a window is no better.
    ASSERT_EQ(clipper->SetHWnd(0, nullptr), DD_OK);
    ASSERT_EQ(primary->SetClipper(clipper), DD_OK);
    EXPECT_EQ(primary->Blt(&screen, back, nullptr, DDBLT_WAIT, nullptr), DDERR_NOCLIPPERATTACHED);
    // Entirely beside the window.
    ASSERT_EQ(clipper->SetHWnd(0, window().handle), DD_OK);
    RECT beside = {800, 50, 1440, 530};
    EXPECT_EQ(primary->Blt(&beside, back, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    for (int y = 0; y < 400; y += 7) {
        for (int x = 0; x < 600; x += 7) ASSERT_EQ(window().At(x, y), FakeWindow::kBackground);
    }
    EXPECT_TRUE(window().GuardsIntact());
    // Every lock was paired with an unlock.
    EXPECT_EQ(static_cast<int>(window().unlocked.size()), window().locks);
}

TEST_F(DisplayTest, ShrinkingAveragesTheSourceArea) {
    LPDIRECTDRAWSURFACE sheet = Offscreen(350, 650);
    // A 2 x 2 checker of black and white becomes mid grey.
    Paint(sheet, [](int x, int y) { return (x + y) % 2 ? 0xFFFFFFu : 0u; });
    RECT checker = {0, 0, 2, 2};
    RECT one = {0, 0, 1, 1};
    ASSERT_EQ(back->Blt(&one, sheet, &checker, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(Pixel(back, 0, 0), 0x808080u);

    // A solid colour stays exact.
    Paint(sheet, [](int, int) { return 0x3A7FC1u; });
    RECT tile = {225, 505, 328, 610};
    RECT cell = {570, 360, 600, 400};
    ASSERT_EQ(back->Blt(&cell, sheet, &tile, DDBLT_WAIT, nullptr), DD_OK);
    for (int y = 360; y < 400; ++y) {
        for (int x = 570; x < 600; ++x) ASSERT_EQ(Pixel(back, x, y), 0x3A7FC1u);
    }

    // A 4-pixel black outline on white stays dark at every edge of the cell.
    Paint(sheet, [&](int x, int y) {
        const bool outline =
            x < tile.left + 4 || x >= tile.right - 4 || y < tile.top + 4 || y >= tile.bottom - 4;
        return outline ? 0u : 0xFFFFFFu;
    });
    ASSERT_EQ(back->Blt(&cell, sheet, &tile, DDBLT_WAIT, nullptr), DD_OK);
    for (int i = 0; i < 30; ++i) {
        EXPECT_EQ(Pixel(back, 570 + i, 360), 0u) << i;
        EXPECT_EQ(Pixel(back, 570 + i, 399), 0u) << i;
    }
    for (int k = 0; k < 40; ++k) {
        EXPECT_EQ(Pixel(back, 570, 360 + k), 0u) << k;
        EXPECT_EQ(Pixel(back, 599, 360 + k), 0u) << k;
    }
    for (int y = 362; y < 398; ++y) {
        for (int x = 572; x < 598; ++x) ASSERT_EQ(Pixel(back, x, y), 0xFFFFFFu) << x << "," << y;
    }
}

TEST_F(DisplayTest, ScaledBlitsMatchTheExactAreaAverage) {
    std::mt19937 random(7);
    std::vector<uint32_t> noise(350 * 650);
    for (uint32_t& p : noise) p = random() & 0xFFFFFF;
    auto source = [&](int x, int y) { return noise[y * 350 + x]; };
    LPDIRECTDRAWSURFACE sheet = Offscreen(350, 650);
    Paint(sheet, source);
    struct Case {
        int sw, sh, dw, dh;
    };
    // Tiles and explosion frames into cells, odd ratios, and growing along
    // one or both axes.
    const Case cases[] = {{103, 105, 30, 40}, {55, 50, 30, 40}, {7, 5, 3, 2},    {9, 9, 4, 4},
                          {55, 20, 30, 40},   {10, 12, 30, 40}, {30, 40, 30, 40}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.sw << "x" << c.sh << " -> " << c.dw << "x" << c.dh);
        RECT region = {11, 23, 11 + c.sw, 23 + c.sh};
        RECT dest = {0, 0, c.dw, c.dh};
        ASSERT_EQ(back->Blt(&dest, sheet, &region, DDBLT_WAIT, nullptr), DD_OK);
        auto shifted = [&](int x, int y) { return source(x + 11, y + 23); };
        for (int k = 0; k < c.dh; ++k) {
            for (int i = 0; i < c.dw; ++i) {
                const uint32_t expected = Reference(shifted, c.sw, c.sh, c.dw, c.dh, i, k);
                ASSERT_TRUE(Near(Pixel(back, i, k), expected))
                    << i << "," << k << ": " << std::hex << Pixel(back, i, k) << " vs " << expected;
            }
        }
    }
}

TEST_F(DisplayTest, ScaledBlitClippedAtTheEdgeKeepsItsMapping) {
    LPDIRECTDRAWSURFACE sheet = Offscreen(350, 650);
    Paint(sheet, Pattern);
    RECT region = {0, 0, 103, 105};
    RECT whole = {0, 0, 30, 40};
    ASSERT_EQ(back->Blt(&whole, sheet, &region, DDBLT_WAIT, nullptr), DD_OK);
    std::vector<uint32_t> expected;
    for (int k = 0; k < 40; ++k) {
        for (int i = 0; i < 30; ++i) expected.push_back(Pixel(back, i, k));
    }
    RECT hanging = {-10, -15, 20, 25};
    ASSERT_EQ(back->Blt(&hanging, sheet, &region, DDBLT_WAIT, nullptr), DD_OK);
    for (int k = 15; k < 40; ++k) {
        for (int i = 10; i < 30; ++i) ASSERT_EQ(Pixel(back, i - 10, k - 15), expected[k * 30 + i]);
    }
    // The same onto the screen, scaled.
    RECT screen = {100 - 10, 50 - 15, 100 + 20, 50 + 25};
    ASSERT_EQ(primary->Blt(&screen, sheet, &region, DDBLT_WAIT, nullptr), DD_OK);
    for (int k = 15; k < 40; ++k) {
        for (int i = 10; i < 30; ++i) ASSERT_EQ(window().At(i - 10, k - 15), expected[k * 30 + i]);
    }
    EXPECT_TRUE(window().GuardsIntact());
}

// Scaled copies are kept per source region and size; any change of the
// source's pixels must show in the next blit.
TEST_F(DisplayTest, ChangedSourcesAreScaledAfresh) {
    LPDIRECTDRAWSURFACE sheet = Offscreen(350, 650);
    LPDIRECTDRAWSURFACE other = Offscreen(350, 650);
    Paint(other, [](int, int) { return 0x00FF00u; });
    RECT tile = {225, 505, 328, 610};
    RECT cell = {0, 0, 30, 40};
    auto draw = [&] {
        EXPECT_EQ(back->Blt(&cell, sheet, &tile, DDBLT_WAIT, nullptr), DD_OK);
        return Pixel(back, 15, 20);
    };
    struct Change {
        const char* how;
        std::function<void()> apply;
        uint32_t colour;
    };
    const Change changes[] = {
        {"GetDC, StretchBlt, ReleaseDC",
         [&] {
             uint32_t blue[4] = {0xFF, 0xFF, 0xFF, 0xFF};
             HDC source = CreateSurfaceDC(blue, 2, 2, 2);
             HDC dc = nullptr;
             ASSERT_EQ(sheet->GetDC(&dc), DD_OK);
             EXPECT_TRUE(StretchBlt(dc, 0, 0, 350, 650, source, 0, 0, 2, 2, SRCCOPY));
             ASSERT_EQ(sheet->ReleaseDC(dc), DD_OK);
             DeleteSurfaceDC(source);
         },
         0x0000FFu},
        {"Blt onto it",
         [&] { EXPECT_EQ(sheet->Blt(nullptr, other, nullptr, DDBLT_WAIT, nullptr), DD_OK); },
         0x00FF00u},
        {"loss and Restore",
         [&] {
             DDrawTestLoseSurface(sheet);
             EXPECT_EQ(sheet->Restore(), DD_OK);
         },
         0u},
    };
    Paint(sheet, [](int, int) { return 0xFF0000u; });
    ASSERT_EQ(draw(), 0xFF0000u);
    ASSERT_EQ(draw(), 0xFF0000u);
    for (const Change& change : changes) {
        SCOPED_TRACE(change.how);
        change.apply();
        EXPECT_EQ(draw(), change.colour);
    }
}

TEST_F(DisplayTest, NullRectanglesMeanWholeSurfaces) {
    LPDIRECTDRAWSURFACE small = Offscreen(64, 48);
    Paint(small, [](int x, int) { return x < 32 ? 0x111111u : 0xEEEEEEu; });
    ASSERT_EQ(back->Blt(nullptr, small, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(Pixel(back, 0, 0), 0x111111u);
    EXPECT_EQ(Pixel(back, 319, 479), 0x111111u);
    EXPECT_EQ(Pixel(back, 320, 0), 0xEEEEEEu);
    EXPECT_EQ(Pixel(back, 639, 479), 0xEEEEEEu);
    // Onto the screen: the client area, whatever its place.
    ASSERT_EQ(primary->Blt(nullptr, small, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(window().At(0, 0), 0x111111u);
    EXPECT_EQ(window().At(599, 399), 0xEEEEEEu);
    EXPECT_TRUE(window().GuardsIntact());
}
