// Speed of the board redraw: 200 cells, each a 103 x 105 sheet region shrunk
// to 30 x 40, into the 640 x 480 back buffer, then presented.
#include <benchmark/benchmark.h>

#include <cstring>

#include "platform/ddraw/testing.h"
#include "platform/directdraw.h"
#include "platform/kernel/resources.h"
#include "tests/platform/ddraw/fake_client_area.h"

const ResourceEntry resourceTable[1] = {};
const size_t resourceCount = 0;

namespace {

struct Display {
    Display() {
        TheFakeWindow().Reset(600, 400);
        DirectDrawCreate(nullptr, &dd, nullptr);
        dd->SetCooperativeLevel(TheFakeWindow().handle, DDSCL_NORMAL);
        DDSURFACEDESC desc;
        std::memset(&desc, 0, sizeof desc);
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        dd->CreateSurface(&desc, &primary, nullptr);
        dd->CreateClipper(0, &clipper, nullptr);
        clipper->SetHWnd(0, TheFakeWindow().handle);
        primary->SetClipper(clipper);
        desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        desc.dwWidth = 640;
        desc.dwHeight = 480;
        dd->CreateSurface(&desc, &back, nullptr);
        desc.dwWidth = 350;
        desc.dwHeight = 650;
        dd->CreateSurface(&desc, &sheet, nullptr);
        int pitch = 0;
        uint32_t* pixels = DDrawTestSurfacePixels(sheet, &pitch);
        uint32_t seed = 1;
        for (int i = 0; i < 650 * pitch; ++i) {
            seed = seed * 1664525u + 1013904223u;
            pixels[i] = seed >> 8;
        }
    }
    ~Display() { dd->Release(); }

    void DrawBoard() {
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 20; ++x) {
                const int kind = (x * 7 + y * 3) % 6;
                RECT region = kind < 5 ? RECT{225, 65 + 110 * kind, 328, 170 + 110 * kind}
                                       : RECT{0, 100, 103, 205};
                RECT cell = {30 * x, 40 * y, 30 * x + 30, 40 * y + 40};
                back->Blt(&cell, sheet, &region, DDBLT_WAIT, nullptr);
            }
        }
    }

    void Present() {
        RECT screen = {100, 50, 740, 530};
        primary->Blt(&screen, back, nullptr, DDBLT_WAIT, nullptr);
    }

    LPDIRECTDRAW dd = nullptr;
    LPDIRECTDRAWSURFACE primary = nullptr;
    LPDIRECTDRAWCLIPPER clipper = nullptr;
    LPDIRECTDRAWSURFACE back = nullptr;
    LPDIRECTDRAWSURFACE sheet = nullptr;
};

void BM_FullRedrawCached(benchmark::State& state) {
    Display display;
    display.DrawBoard();
    for (auto _ : state) display.DrawBoard();
    state.SetItemsProcessed(state.iterations() * 200);
}
BENCHMARK(BM_FullRedrawCached);

void BM_FullRedrawCachedAndPresent(benchmark::State& state) {
    Display display;
    display.DrawBoard();
    for (auto _ : state) {
        display.DrawBoard();
        display.Present();
    }
}
BENCHMARK(BM_FullRedrawCachedAndPresent);

void BM_PresentOnly(benchmark::State& state) {
    Display display;
    for (auto _ : state) display.Present();
}
BENCHMARK(BM_PresentOnly);

// One cell shrunk afresh: the sheet's content changes before every blit.
void BM_UncachedCell(benchmark::State& state) {
    Display display;
    RECT region = {225, 505, 328, 610};
    RECT cell = {0, 0, 30, 40};
    for (auto _ : state) {
        state.PauseTiming();
        DDrawTestSurfacePixels(display.sheet, nullptr);
        state.ResumeTiming();
        display.back->Blt(&cell, display.sheet, &region, DDBLT_WAIT, nullptr);
    }
}
BENCHMARK(BM_UncachedCell);

// A whole board after the sheet changed (a reload after surface loss):
// six regions scaled afresh, the rest from the cache.
void BM_FullRedrawAfterSheetChange(benchmark::State& state) {
    Display display;
    for (auto _ : state) {
        state.PauseTiming();
        DDrawTestSurfacePixels(display.sheet, nullptr);
        state.ResumeTiming();
        display.DrawBoard();
    }
}
BENCHMARK(BM_FullRedrawAfterSheetChange);

}  // namespace

BENCHMARK_MAIN();
