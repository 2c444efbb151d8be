#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi/bitmap_load.h"
#include "platform/gdi/surface_dc.h"
#include "platform/win32.h"
#include "tests/platform/gdi/test_bitmaps.h"

namespace {

constexpr uint32_t kUntouched = 0xFF123456;

// A 32-bit target buffer with its surface DC.
struct Target {
    Target(int width, int height, int pitch = 0)
        : width(width), pitch(pitch ? pitch : width), pixels(this->pitch * height, kUntouched) {
        dc = CreateSurfaceDC(pixels.data(), this->pitch, width, height);
    }
    ~Target() { DeleteSurfaceDC(dc); }
    uint32_t At(int x, int y) const { return pixels[y * pitch + x]; }
    int width;
    int pitch;
    std::vector<uint32_t> pixels;
    HDC dc;
};

// A memory DC holding one of the test bitmaps.
struct Source {
    explicit Source(LPCSTR name) {
        bitmap = LoadBitmapImage(nullptr, name, 0, 0, LR_CREATEDIBSECTION);
        dc = CreateCompatibleDC(nullptr);
        previous = SelectObject(dc, bitmap);
    }
    ~Source() {
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    HBITMAP bitmap;
    HDC dc;
    HGDIOBJ previous;
};

uint32_t CheckerColour(int x, int y) {
    const DibLayout layout = Checker8Layout();
    return Rgb(layout.table[layout.pixel(x, y)]);
}

}  // namespace

TEST(GetObjectA, RefusesWhatIsNotABitmap) {
    BITMAP info;
    HDC dc = CreateCompatibleDC(nullptr);
    int local = 0;
    EXPECT_EQ(GetObjectA(nullptr, sizeof info, &info), 0);
    EXPECT_EQ(GetObjectA(dc, sizeof info, &info), 0);
    EXPECT_EQ(GetObjectA(&local, sizeof info, &info), 0);
    HBITMAP bitmap = LoadBitmapImage(nullptr, "CHECKER8", 0, 0, 0);
    EXPECT_EQ(GetObjectA(bitmap, sizeof info - 1, &info), 0);
    EXPECT_EQ(GetObjectA(bitmap, 0, nullptr), static_cast<int>(sizeof info));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(GetObjectA(bitmap, sizeof info, &info), 0);  // gone
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(SelectObject, ReturnsThePreviousBitmapAndGuardsSharing) {
    HBITMAP first = LoadBitmapImage(nullptr, "CHECKER8", 0, 0, 0);
    HBITMAP second = LoadBitmapImage(nullptr, MAKEINTRESOURCEA(7), 0, 0, 0);
    HDC a = CreateCompatibleDC(nullptr);
    HDC b = CreateCompatibleDC(a);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);

    HGDIOBJ stock = SelectObject(a, first);
    ASSERT_NE(stock, nullptr);  // a new memory DC holds a default bitmap
    EXPECT_EQ(SelectObject(a, second), first);
    // A bitmap is in one memory DC at a time, and is not deleted while there.
    EXPECT_EQ(SelectObject(b, second), nullptr);
    EXPECT_FALSE(DeleteObject(second));
    EXPECT_EQ(SelectObject(a, stock), second);
    EXPECT_NE(SelectObject(b, second), nullptr);
    // Deleting the DC lets its bitmap go.
    EXPECT_TRUE(DeleteDC(b));
    EXPECT_TRUE(DeleteObject(second));

    EXPECT_EQ(SelectObject(nullptr, first), nullptr);
    EXPECT_EQ(SelectObject(a, nullptr), nullptr);
    EXPECT_EQ(SelectObject(a, a), nullptr);
    EXPECT_FALSE(DeleteDC(b));  // already gone
    EXPECT_FALSE(DeleteDC(nullptr));
    EXPECT_FALSE(DeleteObject(nullptr));
    EXPECT_FALSE(DeleteObject(a));
    EXPECT_TRUE(DeleteDC(a));
    EXPECT_TRUE(DeleteObject(first));
    EXPECT_FALSE(DeleteObject(first));
}

TEST(StretchBlt, CopiesIndexedPixelsThroughTheColourTable) {
    Source source("CHECKER8");
    Target target(8, 5, 10);
    ASSERT_TRUE(StretchBlt(target.dc, 2, 1, 5, 3, source.dc, 0, 0, 5, 3, SRCCOPY));
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 2 && x < 7 && y >= 1 && y < 4;
            EXPECT_EQ(target.At(x, y), inside ? CheckerColour(x - 2, y - 1) : kUntouched)
                << x << "," << y;
        }
    }
}

TEST(StretchBlt, ScalesToNearestPixelsAndClipsToBothPictures) {
    Source source("CHECKER8");
    struct Case {
        int x, y, w, h, sx, sy, sw, sh;
    };
    const Case cases[] = {
        {0, 0, 10, 6, 0, 0, 5, 3},    // double size
        {-3, -2, 10, 6, 0, 0, 5, 3},  // hanging off the top left
        {4, 3, 10, 6, 0, 0, 5, 3},    // off the bottom right
        {0, 0, 2, 3, 1, 0, 4, 3},     // halved across
        {1, 1, 6, 3, 2, 1, 6, 3},     // source rectangle past the right and bottom
        {0, 0, 6, 4, -2, -1, 6, 4},   // source rectangle before the left and top
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << " " << c.y << " " << c.w << " " << c.h << " "
                                        << c.sx << " " << c.sy << " " << c.sw << " " << c.sh);
        Target target(7, 5);
        ASSERT_TRUE(
            StretchBlt(target.dc, c.x, c.y, c.w, c.h, source.dc, c.sx, c.sy, c.sw, c.sh, SRCCOPY));
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 7; ++x) {
                uint32_t expected = kUntouched;
                if (x >= c.x && x < c.x + c.w && y >= c.y && y < c.y + c.h) {
                    // The source pixel under the destination pixel's centre.
                    const int sx = c.sx + ((2 * (x - c.x) + 1) * c.sw) / (2 * c.w);
                    const int sy = c.sy + ((2 * (y - c.y) + 1) * c.sh) / (2 * c.h);
                    if (sx >= 0 && sx < 5 && sy >= 0 && sy < 3) expected = CheckerColour(sx, sy);
                }
                EXPECT_EQ(target.At(x, y), expected) << x << "," << y;
            }
        }
    }
}

TEST(StretchBlt, RefusesWhatItCannotDoAndDrawsNothing) {
    Source source("CHECKER8");
    Target target(5, 3);
    const DWORD kSrcPaint = 0x00EE0086;
    EXPECT_FALSE(StretchBlt(target.dc, 0, 0, 5, 3, source.dc, 0, 0, 5, 3, kSrcPaint));
    // No memory DC: the copy has no source.
    EXPECT_FALSE(StretchBlt(target.dc, 0, 0, 5, 3, nullptr, 0, 0, 5, 3, SRCCOPY));
    EXPECT_FALSE(StretchBlt(nullptr, 0, 0, 5, 3, source.dc, 0, 0, 5, 3, SRCCOPY));
    EXPECT_FALSE(StretchBlt(target.dc, 0, 0, 0, 3, source.dc, 0, 0, 5, 3, SRCCOPY));
    EXPECT_FALSE(StretchBlt(target.dc, 5, 0, -5, 3, source.dc, 0, 0, 5, 3, SRCCOPY));
    // An indexed bitmap is not a destination.
    EXPECT_FALSE(StretchBlt(source.dc, 0, 0, 5, 3, target.dc, 0, 0, 5, 3, SRCCOPY));
    for (uint32_t pixel : target.pixels) EXPECT_EQ(pixel, kUntouched);
    // Entirely outside: nothing to do, which is no failure.
    EXPECT_TRUE(StretchBlt(target.dc, 5, 0, 5, 3, source.dc, 0, 0, 5, 3, SRCCOPY));
    for (uint32_t pixel : target.pixels) EXPECT_EQ(pixel, kUntouched);
}

TEST(StretchBlt, CopiesBetweenMemoryDCsAndBack) {
    Source source("CHECKER8");
    // A 32-bit DIB as destination: loaded from a 1 x 1 resource-free file.
    DibLayout layout;
    layout.width = 5;
    layout.height = 3;
    layout.bitCount = 32;
    const std::vector<uint8_t> file = BmpFile(PackedDib(layout), 40);
    FILE* out = std::fopen("canvas.bmp", "wb");
    ASSERT_NE(out, nullptr);
    std::fwrite(file.data(), 1, file.size(), out);
    std::fclose(out);
    HBITMAP canvas = LoadBitmapImage(nullptr, "canvas.bmp", 0, 0, LR_LOADFROMFILE);
    ASSERT_NE(canvas, nullptr);
    HDC canvasDC = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(canvasDC, canvas);
    ASSERT_TRUE(StretchBlt(canvasDC, 0, 0, 5, 3, source.dc, 0, 0, 5, 3, SRCCOPY));
    // Within one picture: shift right by one, reading the picture as it was.
    ASSERT_TRUE(StretchBlt(canvasDC, 1, 0, 4, 3, canvasDC, 0, 0, 4, 3, SRCCOPY));
    Target target(5, 3);
    ASSERT_TRUE(StretchBlt(target.dc, 0, 0, 5, 3, canvasDC, 0, 0, 5, 3, SRCCOPY));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(target.At(x, y), CheckerColour(x == 0 ? 0 : x - 1, y)) << x << "," << y;
        }
    }
    SelectObject(canvasDC, previous);
    DeleteDC(canvasDC);
    DeleteObject(canvas);
}

TEST(SurfaceDC, BadBuffersAreRefusedAndItIsNotAMemoryDC) {
    uint32_t pixels[4] = {};
    EXPECT_EQ(CreateSurfaceDC(nullptr, 2, 2, 2), nullptr);
    EXPECT_EQ(CreateSurfaceDC(pixels, 1, 2, 2), nullptr);
    EXPECT_EQ(CreateSurfaceDC(pixels, 2, 0, 2), nullptr);
    EXPECT_EQ(CreateSurfaceDC(pixels, 2, 2, -1), nullptr);
    HDC dc = CreateSurfaceDC(pixels, 2, 2, 2);
    ASSERT_NE(dc, nullptr);
    HBITMAP bitmap = LoadBitmapImage(nullptr, "CHECKER8", 0, 0, 0);
    EXPECT_EQ(SelectObject(dc, bitmap), nullptr);
    EXPECT_FALSE(DeleteDC(dc));  // belongs to its surface
    DeleteSurfaceDC(dc);
    EXPECT_FALSE(StretchBlt(dc, 0, 0, 1, 1, dc, 0, 0, 1, 1, SRCCOPY));
    DeleteObject(bitmap);
}
