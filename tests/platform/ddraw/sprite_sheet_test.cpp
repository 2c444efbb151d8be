#include <gtest/gtest.h>

#include "platform/gdi/bitmap_load.h"
#include "platform/kernel/resources.h"
#include "platform/win32.h"
#include "tests/platform/ddraw/display_fixture.h"
#include "tests/platform/gdi/dib_builder.h"

namespace {

// An 8-bit sheet like the game's: a 6 x 6 x 6 colour cube in the table,
// black above 215, rows stored bottom row first and padded.
DibLayout SheetLayout() {
    DibLayout layout;
    layout.width = 42;
    layout.height = 30;
    layout.bitCount = 8;
    for (int i = 0; i < 256; ++i) {
        const BYTE r = i < 216 ? static_cast<BYTE>(51 * ((i / 6) % 6)) : 0;
        const BYTE g = i < 216 ? static_cast<BYTE>(51 * (i / 36)) : 0;
        const BYTE b = i < 216 ? static_cast<BYTE>(51 * (i % 6)) : 0;
        layout.table.push_back({b, g, r, 0});
    }
    layout.pixel = [](int x, int y) { return static_cast<uint32_t>((x * 7 + y * 3) % 256); };
    return layout;
}

const std::vector<uint8_t> sheetBytes = PackedDib(SheetLayout());

uint32_t SheetColour(int x, int y) {
    const DibLayout layout = SheetLayout();
    return Rgb(layout.table[layout.pixel(x, y)]);
}

}  // namespace

const ResourceEntry resourceTable[] = {
    {2, nullptr, 0, "IDB_SHEET", sheetBytes.data(), static_cast<DWORD>(sheetBytes.size())},
};
const size_t resourceCount = 1;

// The sheet load as the game does it: bitmap from the resources, a memory DC
// holding it, the surface's DC, one SRCCOPY stretch at the surface's size.
TEST_F(DisplayTest, SpriteSheetReachesTheScreenThroughTheColourTable) {
    HBITMAP bitmap = LoadBitmapImage(nullptr, "IDB_SHEET", 0, 0, LR_CREATEDIBSECTION);
    ASSERT_NE(bitmap, nullptr);
    BITMAP info;
    ASSERT_EQ(GetObjectA(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
    LPDIRECTDRAWSURFACE sheet = Offscreen(info.bmWidth, info.bmHeight);
    ASSERT_NE(sheet, nullptr);

    EXPECT_EQ(sheet->Restore(), DD_OK);
    HDC memory = CreateCompatibleDC(nullptr);
    ASSERT_NE(memory, nullptr);
    SelectObject(memory, bitmap);
    DDSURFACEDESC desc;
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_HEIGHT | DDSD_WIDTH;
    ASSERT_EQ(sheet->GetSurfaceDesc(&desc), DD_OK);
    HDC dc = nullptr;
    ASSERT_EQ(sheet->GetDC(&dc), DD_OK);
    EXPECT_TRUE(StretchBlt(dc, 0, 0, desc.dwWidth, desc.dwHeight, memory, 0, 0, info.bmWidth,
                           info.bmHeight, SRCCOPY));
    ASSERT_EQ(sheet->ReleaseDC(dc), DD_OK);
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_TRUE(DeleteObject(bitmap));

    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 42; ++x)
            ASSERT_EQ(Pixel(sheet, x, y), SheetColour(x, y)) << x << "," << y;
    }

    // On through the back buffer to the screen, 1:1.
    RECT region = {2, 3, 32, 28};
    RECT cell = {30, 40, 60, 65};
    ASSERT_EQ(back->Blt(&cell, sheet, &region, DDBLT_WAIT, nullptr), DD_OK);
    RECT screen = {100, 50, 740, 530};
    ASSERT_EQ(primary->Blt(&screen, back, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    for (int y = 40; y < 65; ++y) {
        for (int x = 30; x < 60; ++x) {
            ASSERT_EQ(window().At(x, y), SheetColour(x - 28, y - 37)) << x << "," << y;
        }
    }
    EXPECT_EQ(window().At(29, 40), 0u);  // the rest of the back buffer is black
}

// Without a memory DC the copy has no source: it fails and draws nothing.
TEST_F(DisplayTest, CopyWithoutAMemoryDCLeavesTheSurfaceBlank) {
    LPDIRECTDRAWSURFACE sheet = Offscreen(42, 30);
    HDC dc = nullptr;
    ASSERT_EQ(sheet->GetDC(&dc), DD_OK);
    EXPECT_FALSE(StretchBlt(dc, 0, 0, 42, 30, nullptr, 0, 0, 42, 30, SRCCOPY));
    ASSERT_EQ(sheet->ReleaseDC(dc), DD_OK);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 42; ++x) ASSERT_EQ(Pixel(sheet, x, y), 0u);
    }
}
