// The display objects as the game sets them up: a DirectDraw object, the
// primary surface with a clipper bound to the (fake) main window, and a
// 640 x 480 back buffer. Tear-down releases the DirectDraw object the way the
// game does and checks that nothing stays alive.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "platform/ddraw/testing.h"
#include "platform/directdraw.h"
#include "tests/platform/ddraw/fake_client_area.h"

inline DDSURFACEDESC OffscreenDesc(DWORD width, DWORD height) {
    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    return desc;
}

class DisplayTest : public testing::Test {
protected:
    void SetUp() override {
        fakeDisplayAvailable = true;
        window().Reset(600, 400);
        window().origin = {100, 50};
        window().shown = true;
        DDrawTestLoseAllSurfacesAtBlt(0);
        ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
        ASSERT_EQ(dd->SetCooperativeLevel(window().handle, DDSCL_NORMAL), DD_OK);
        DDSURFACEDESC desc;
        std::memset(&desc, 0, sizeof desc);
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        ASSERT_EQ(dd->CreateSurface(&desc, &primary, nullptr), DD_OK);
        ASSERT_EQ(dd->CreateClipper(0, &clipper, nullptr), DD_OK);
        ASSERT_EQ(clipper->SetHWnd(0, window().handle), DD_OK);
        ASSERT_EQ(primary->SetClipper(clipper), DD_OK);
        back = Offscreen(640, 480);
        ASSERT_NE(back, nullptr);
    }

    void TearDown() override {
        if (dd != nullptr) {
            EXPECT_EQ(dd->Release(), 0u);
        }
        EXPECT_EQ(DDrawTestLiveObjectCount(), 0);
        DDrawTestLoseAllSurfacesAtBlt(0);
    }

    static FakeWindow& window() { return TheFakeWindow(); }

    LPDIRECTDRAWSURFACE Offscreen(DWORD width, DWORD height) {
        DDSURFACEDESC desc = OffscreenDesc(width, height);
        LPDIRECTDRAWSURFACE surface = nullptr;
        EXPECT_EQ(dd->CreateSurface(&desc, &surface, nullptr), DD_OK);
        return surface;
    }

    // Fills a surface's pixels from f(x, y).
    static void Paint(LPDIRECTDRAWSURFACE surface, const std::function<uint32_t(int, int)>& f) {
        int pitch = 0;
        uint32_t* pixels = DDrawTestSurfacePixels(surface, &pitch);
        ASSERT_NE(pixels, nullptr);
        DDSURFACEDESC desc;
        desc.dwSize = sizeof desc;
        ASSERT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
        for (DWORD y = 0; y < desc.dwHeight; ++y) {
            for (DWORD x = 0; x < desc.dwWidth; ++x) {
                pixels[y * pitch + x] = f(static_cast<int>(x), static_cast<int>(y));
            }
        }
    }

    static uint32_t Pixel(LPDIRECTDRAWSURFACE surface, int x, int y) {
        int pitch = 0;
        const uint32_t* pixels = DDrawTestSurfacePixels(surface, &pitch);
        return pixels == nullptr ? 0xDEADDEAD : pixels[y * pitch + x];
    }

    LPDIRECTDRAW dd = nullptr;
    LPDIRECTDRAWSURFACE primary = nullptr;
    LPDIRECTDRAWCLIPPER clipper = nullptr;
    LPDIRECTDRAWSURFACE back = nullptr;
};

// A pattern where every pixel differs from its neighbours.
inline uint32_t Pattern(int x, int y) {
    return static_cast<uint32_t>((x * 37 + y * 101) & 0xFF) << 16 |
           static_cast<uint32_t>((x * 13) & 0xFF) << 8 | static_cast<uint32_t>(y & 0xFF);
}
