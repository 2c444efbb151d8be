#include <gtest/gtest.h>

#include "platform/ddraw/surface_loss.h"
#include "tests/platform/ddraw/display_fixture.h"

TEST(DirectDrawCreate, FailsCleanlyWithoutADisplay) {
    fakeDisplayAvailable = false;
    LPDIRECTDRAW dd = reinterpret_cast<LPDIRECTDRAW>(&fakeDisplayAvailable);
    const HRESULT result = DirectDrawCreate(nullptr, &dd, nullptr);
    fakeDisplayAvailable = true;
    EXPECT_TRUE(FAILED(result));
    EXPECT_EQ(dd, nullptr);
    EXPECT_EQ(DDrawTestLiveObjectCount(), 0);

    EXPECT_EQ(DirectDrawCreate(nullptr, nullptr, nullptr), DDERR_INVALIDPARAMS);
    ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
    ASSERT_NE(dd, nullptr);
    EXPECT_EQ(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(dd->SetCooperativeLevel(nullptr, 0x11), DDERR_INVALIDPARAMS);  // exclusive
    EXPECT_EQ(dd->Release(), 0u);
    EXPECT_EQ(DDrawTestLiveObjectCount(), 0);
}

TEST_F(DisplayTest, ReferenceCountsFollowAttachments) {
    EXPECT_EQ(dd->AddRef(), 2u);
    EXPECT_EQ(dd->Release(), 1u);
    // The primary holds the clipper: created with one reference, plus one.
    EXPECT_EQ(clipper->AddRef(), 3u);
    EXPECT_EQ(clipper->Release(), 2u);
    EXPECT_EQ(DDrawTestSurfaceClipper(primary), clipper);

    PALETTEENTRY entries[256] = {};
    LPDIRECTDRAWPALETTE palette = nullptr;
    ASSERT_EQ(dd->CreatePalette(DDPCAPS_8BIT, entries, &palette, nullptr), DD_OK);
    EXPECT_EQ(primary->SetPalette(palette), DD_OK);
    EXPECT_EQ(back->SetPalette(palette), DD_OK);
    EXPECT_EQ(back->SetPalette(palette), DD_OK);  // again: still one reference for it
    EXPECT_EQ(palette->AddRef(), 4u);
    EXPECT_EQ(palette->Release(), 3u);

    // A released surface lets go of what it held.
    EXPECT_EQ(primary->Release(), 0u);
    EXPECT_EQ(clipper->AddRef(), 2u);
    EXPECT_EQ(clipper->Release(), 1u);
    EXPECT_EQ(palette->Release(), 1u);  // the back buffer's reference remains
    EXPECT_EQ(DDrawTestSurfacePalette(back), palette);
    EXPECT_EQ(back->SetPalette(nullptr), DD_OK);
    EXPECT_EQ(DDrawTestSurfacePalette(back), nullptr);
    // The palette is gone now, and a stale pointer to it is refused.
    EXPECT_EQ(back->SetPalette(palette), DDERR_INVALIDPARAMS);
    primary = nullptr;
}

// The game releases the primary surface, the sprite sheet and the palette,
// then the DirectDraw object; the back buffer and clipper go with the last.
TEST_F(DisplayTest, ReleasingTheDirectDrawObjectEndsWhatItMade) {
    LPDIRECTDRAWSURFACE sheet = Offscreen(350, 650);
    PALETTEENTRY entries[256] = {};
    LPDIRECTDRAWPALETTE palette = nullptr;
    ASSERT_EQ(dd->CreatePalette(DDPCAPS_8BIT, entries, &palette, nullptr), DD_OK);
    primary->SetPalette(palette);
    back->SetPalette(palette);
    EXPECT_EQ(DDrawTestLiveObjectCount(), 6);
    EXPECT_EQ(primary->Release(), 0u);
    EXPECT_EQ(sheet->Release(), 0u);
    EXPECT_EQ(palette->Release(), 1u);
    EXPECT_EQ(DDrawTestLiveObjectCount(), 4);
    EXPECT_EQ(dd->Release(), 0u);
    dd = nullptr;
    EXPECT_EQ(DDrawTestLiveObjectCount(), 0);
}

TEST_F(DisplayTest, QueryInterfaceAnswersOnlyForIUnknown) {
    const GUID unknown = {0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    const GUID other = {0x6C14DB80, 0xA733, 0x11CE, {0xA5, 0x21, 0, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
    void* object = nullptr;
    EXPECT_EQ(back->QueryInterface(unknown, &object), S_OK);
    EXPECT_EQ(object, static_cast<IUnknown*>(back));
    EXPECT_EQ(back->Release(), 1u);
    EXPECT_EQ(dd->QueryInterface(other, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
}

TEST_F(DisplayTest, CreateSurfaceRefusesBadDescriptions) {
    struct Case {
        const char* what;
        DDSURFACEDESC desc;
    };
    auto with = [](DDSURFACEDESC desc, auto change) {
        change(desc);
        return desc;
    };
    const DDSURFACEDESC good = OffscreenDesc(30, 40);
    const Case cases[] = {
        {"zero width", OffscreenDesc(0, 40)},
        {"zero height", OffscreenDesc(30, 0)},
        {"huge", OffscreenDesc(100000, 100000)},
        {"negative width as DWORD", OffscreenDesc(0xFFFFFFFF, 4)},
        {"no width flag", with(good, [](auto& d) { d.dwFlags = DDSD_CAPS | DDSD_HEIGHT; })},
        {"no caps flag", with(good, [](auto& d) { d.dwFlags = DDSD_HEIGHT | DDSD_WIDTH; })},
        {"no caps", with(good, [](auto& d) { d.ddsCaps.dwCaps = 0; })},
        {"wrong size", with(good, [](auto& d) { d.dwSize = 12; })},
        {"sized primary", with(good, [](auto& d) { d.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE; })},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DDSURFACEDESC desc = c.desc;
        LPDIRECTDRAWSURFACE surface = back;
        EXPECT_EQ(dd->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDPARAMS);
        EXPECT_EQ(surface, nullptr);
    }
    DDSURFACEDESC desc = good;
    EXPECT_EQ(dd->CreateSurface(&desc, nullptr, nullptr), DDERR_INVALIDPARAMS);
    LPDIRECTDRAWSURFACE surface = nullptr;
    EXPECT_EQ(dd->CreateSurface(nullptr, &surface, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(DDrawTestLiveObjectCount(), 4);
}

TEST_F(DisplayTest, GetSurfaceDescReportsSizeAndFormat) {
    LPDIRECTDRAWSURFACE surface = Offscreen(350, 650);
    DDSURFACEDESC desc;
    std::memset(&desc, 0xAB, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_HEIGHT | DDSD_WIDTH;
    ASSERT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(desc.dwWidth, 350u);
    EXPECT_EQ(desc.dwHeight, 650u);
    EXPECT_EQ(desc.lPitch, 350 * 4);
    EXPECT_EQ(
        desc.dwFlags & (DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT),
        static_cast<DWORD>(DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT));
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 32u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, 0x00FF0000u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwGBitMask, 0x0000FF00u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwBBitMask, 0x000000FFu);
    EXPECT_EQ(desc.ddsCaps.dwCaps, static_cast<DWORD>(DDSCAPS_OFFSCREENPLAIN));
    EXPECT_EQ(desc.lpSurface, nullptr);

    ASSERT_EQ(primary->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(desc.ddsCaps.dwCaps, static_cast<DWORD>(DDSCAPS_PRIMARYSURFACE));

    desc.dwSize = 108 - 1;
    EXPECT_EQ(surface->GetSurfaceDesc(&desc), DDERR_INVALIDPARAMS);
    EXPECT_EQ(surface->GetSurfaceDesc(nullptr), DDERR_INVALIDPARAMS);

    // New surfaces start black.
    for (int y = 0; y < 650; y += 13) {
        for (int x = 0; x < 350; x += 7) ASSERT_EQ(Pixel(surface, x, y), 0u);
    }
}

TEST_F(DisplayTest, PaletteKeepsItsEntriesAndClipperItsWindow) {
    PALETTEENTRY entries[256];
    for (int i = 0; i < 256; ++i) {
        entries[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i / 2),
                      0};
    }
    LPDIRECTDRAWPALETTE palette = nullptr;
    ASSERT_EQ(dd->CreatePalette(DDPCAPS_8BIT, entries, &palette, nullptr), DD_OK);
    entries[0].peRed = 99;  // the palette took a copy
    PALETTEENTRY kept[256];
    ASSERT_TRUE(DDrawTestPaletteEntries(palette, kept));
    EXPECT_EQ(kept[0].peRed, 0);
    for (int i = 1; i < 256; ++i) {
        EXPECT_EQ(kept[i].peRed, i);
        EXPECT_EQ(kept[i].peGreen, 255 - i);
        EXPECT_EQ(kept[i].peBlue, i / 2);
    }
    LPDIRECTDRAWPALETTE none = palette;
    EXPECT_EQ(dd->CreatePalette(DDPCAPS_8BIT, nullptr, &none, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(dd->CreatePalette(0, entries, &none, nullptr), DDERR_INVALIDPARAMS);

    EXPECT_EQ(DDrawTestClipperWindow(clipper), window().handle);
    EXPECT_EQ(clipper->SetHWnd(1, window().handle), DDERR_INVALIDPARAMS);
    LPDIRECTDRAWCLIPPER other = nullptr;
    EXPECT_EQ(dd->CreateClipper(1, &other, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(primary->SetClipper(reinterpret_cast<LPDIRECTDRAWCLIPPER>(palette)),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(DDrawTestSurfaceClipper(primary), clipper);
}

TEST_F(DisplayTest, GetDCHandsOutOneContextForOffscreenSurfaces) {
    HDC dc = nullptr;
    EXPECT_TRUE(FAILED(primary->GetDC(&dc)));
    EXPECT_EQ(dc, nullptr);
    ASSERT_EQ(back->GetDC(&dc), DD_OK);
    ASSERT_NE(dc, nullptr);
    HDC second = nullptr;
    EXPECT_TRUE(FAILED(back->GetDC(&second)));
    EXPECT_EQ(back->ReleaseDC(nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(back->ReleaseDC(dc), DD_OK);
    EXPECT_EQ(back->ReleaseDC(dc), DDERR_INVALIDPARAMS);
    // A context still out when its surface ends goes with the surface.
    ASSERT_EQ(back->GetDC(&dc), DD_OK);
}

TEST_F(DisplayTest, LostSurfacesRefuseWorkUntilRestored) {
    LPDIRECTDRAWSURFACE sheet = Offscreen(60, 60);
    Paint(sheet, Pattern);
    Paint(back, [](int, int) { return 0x123456u; });
    RECT cell = {0, 0, 30, 40};
    RECT region = {0, 0, 30, 40};
    ASSERT_EQ(back->Blt(&cell, sheet, &region, DDBLT_WAIT, nullptr), DD_OK);

    ASSERT_TRUE(DDrawTestLoseSurface(back));
    EXPECT_EQ(back->Blt(&cell, sheet, &region, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(sheet->Blt(&cell, back, &region, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    HDC dc = nullptr;
    EXPECT_EQ(back->GetDC(&dc), DDERR_SURFACELOST);
    EXPECT_EQ(dc, nullptr);
    RECT screen = {100, 50, 740, 530};
    EXPECT_EQ(primary->Blt(&screen, back, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    // The sheet itself was not lost.
    EXPECT_EQ(sheet->Blt(&cell, sheet, &region, DDBLT_WAIT, nullptr), DD_OK);

    EXPECT_EQ(back->Restore(), DD_OK);
    // The memory came back blank, not with the old picture.
    EXPECT_EQ(Pixel(back, 0, 0), 0u);
    EXPECT_EQ(Pixel(back, 639, 479), 0u);
    EXPECT_EQ(back->Blt(&cell, sheet, &region, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(Pixel(back, 5, 7), Pattern(5, 7));
    EXPECT_EQ(back->Restore(), DD_OK);  // not lost: nothing changes
    EXPECT_EQ(Pixel(back, 5, 7), Pattern(5, 7));
}

TEST_F(DisplayTest, LossArmedForALaterBlitHitsEverySurface) {
    LPDIRECTDRAWSURFACE sheet = Offscreen(60, 60);
    RECT cell = {0, 0, 30, 40};
    DDrawTestResetBlitCount();
    DDrawTestLoseAllSurfacesAtBlt(3);
    EXPECT_EQ(back->Blt(&cell, sheet, &cell, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(back->Blt(&cell, sheet, &cell, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(back->Blt(&cell, sheet, &cell, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(DDrawTestBlitCount(), 3u);
    RECT screen = {100, 50, 740, 530};
    EXPECT_EQ(primary->Blt(&screen, back, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(primary->Restore(), DD_OK);
    EXPECT_EQ(back->Restore(), DD_OK);
    EXPECT_EQ(back->Blt(&cell, sheet, &cell, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(sheet->Restore(), DD_OK);
    EXPECT_EQ(back->Blt(&cell, sheet, &cell, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(primary->Blt(&screen, back, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(DDrawTestBlitCount(), 7u);
    // Armed once only.
    EXPECT_EQ(back->Blt(&cell, sheet, &cell, DDBLT_WAIT, nullptr), DD_OK);

    // The host's loss on a new framebuffer.
    LoseAllSurfaces();
    EXPECT_EQ(back->Blt(&cell, sheet, &cell, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(primary->Blt(&screen, back, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
}
