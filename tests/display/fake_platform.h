// A recording stand-in for DirectDraw and the few window and GDI calls the
// display makes, so tests can check the exact sequence of blits, restores,
// presentations and title changes.
#pragma once

#include <string>
#include <vector>

#include "platform/directdraw.h"
#include "platform/win32.h"

struct FakeSurface final : IDirectDrawSurface {
    explicit FakeSurface(std::string name) : name(std::move(name)) {}
    std::string name;
    int references = 1;
    // Blits that still succeed before this surface reports a loss; -1 never.
    int loseAfterBlits = -1;
    bool lost = false;
    HRESULT restoreResult = DD_OK;
    DWORD width = 0;
    DWORD height = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Blt(LPRECT, LPDIRECTDRAWSURFACE, LPRECT, DWORD, LPDDBLTFX) override;
    HRESULT STDMETHODCALLTYPE GetDC(HDC*) override;
    HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC) override;
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC) override;
    HRESULT STDMETHODCALLTYPE Restore() override;
    HRESULT STDMETHODCALLTYPE SetClipper(LPDIRECTDRAWCLIPPER) override;
    HRESULT STDMETHODCALLTYPE SetPalette(LPDIRECTDRAWPALETTE) override;
};

struct FakeWorld {
    std::vector<std::string> log;
    std::string title = "Tumbla";
    POINT clientOrigin = {0, 0};
    // Which creation step fails: "DirectDrawCreate", "primary", "clipper",
    // "SetHWnd", "SetClipper", "backbuffer", "palette"; empty for none.
    std::string failing;
    std::vector<FakeSurface*> surfaces;
    // Whether LoadImageA finds a bitmap, as a resource or as a file.
    bool resourceBitmap = true;
    bool fileBitmap = false;
    // The colour-table resource LoadSheetPalette reads, empty for none.
    std::vector<unsigned char> paletteResource;
    // What the palette file holds; empty means it cannot be opened.
    std::vector<unsigned char> paletteFile;
    PALETTEENTRY lastPalette[256];
    std::string debugOutput;

    FakeSurface* Surface(const std::string& name) const;
    // Log entries that start with the prefix, in order.
    std::vector<std::string> Entries(const std::string& prefix) const;
};

extern FakeWorld fake;

// Fresh world and fresh display state before every test.
void ResetFakeWorld();
