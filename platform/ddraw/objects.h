// The objects behind the DirectDraw interfaces. Every object made by a
// DirectDraw object belongs to it: releasing the DirectDraw object destroys
// whatever it made that is still alive, as the first DirectDraw did, which is
// how the game's back buffer and clipper end (they get no Release of their
// own). Interface pointers handed in are looked up among the live objects
// before use, so a stale or foreign pointer is refused, not followed.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/ddraw/scale.h"
#include "platform/directdraw.h"

class DirectDrawObject;

// Where a blit writes: a pixel buffer and, within it, the destination
// rectangle before clipping (64-bit, since callers may pass any LONG values).
struct BlitTarget {
    uint32_t* pixels;
    int pitch;
    int width;
    int height;
    int64_t left, top, right, bottom;
};

class Child {
public:
    explicit Child(DirectDrawObject* owner);
    virtual ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

protected:
    DirectDrawObject* owner_;
};

class DirectDrawObject final : public IDirectDraw {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper,
                                            IUnknown* outer) override;
    HRESULT STDMETHODCALLTYPE CreatePalette(DWORD flags, LPPALETTEENTRY entries,
                                            LPDIRECTDRAWPALETTE* palette, IUnknown* outer) override;
    HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC description,
                                            LPDIRECTDRAWSURFACE* surface, IUnknown* outer) override;
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) override;

    void Adopt(Child* child) { children_.push_back(child); }
    void Disown(Child* child);

private:
    ULONG references_ = 1;
    HWND window_ = nullptr;
    std::vector<Child*> children_;
};

class Clipper final : public IDirectDrawClipper, public Child {
public:
    explicit Clipper(DirectDrawObject* owner);
    ~Clipper() override;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE SetHWnd(DWORD flags, HWND window) override;

    HWND window() const { return window_; }

private:
    ULONG references_ = 1;
    HWND window_ = nullptr;
};

class Palette final : public IDirectDrawPalette, public Child {
public:
    Palette(DirectDrawObject* owner, const PALETTEENTRY* entries);
    ~Palette() override;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    const PALETTEENTRY* entries() const { return entries_; }

private:
    ULONG references_ = 1;
    PALETTEENTRY entries_[256];
};

class Surface final : public IDirectDrawSurface, public Child {
public:
    // A primary surface when width is 0: the screen, with no pixels of its
    // own. Otherwise an off-screen surface; call Allocate before use.
    Surface(DirectDrawObject* owner, int width, int height);
    ~Surface() override;
    bool Allocate();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Blt(LPRECT destRect, LPDIRECTDRAWSURFACE source, LPRECT sourceRect,
                                  DWORD flags, LPDDBLTFX effects) override;
    HRESULT STDMETHODCALLTYPE GetDC(HDC* dc) override;
    HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC description) override;
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC dc) override;
    HRESULT STDMETHODCALLTYPE Restore() override;
    HRESULT STDMETHODCALLTYPE SetClipper(LPDIRECTDRAWCLIPPER clipper) override;
    HRESULT STDMETHODCALLTYPE SetPalette(LPDIRECTDRAWPALETTE palette) override;

    bool primary() const { return width_ == 0; }
    bool lost() const { return lost_; }
    void MarkLost();
    // Anyone about to change the pixels calls this first, which drops the
    // scaled copies made from the old content.
    void ContentChanging() { ++version_; }
    uint32_t* pixels() { return pixels_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    Clipper* clipper() const { return clipper_; }
    Palette* palette() const { return palette_; }
    // Called when an attached clipper or palette is destroyed under us.
    void Forget(const Child* child);

private:
    // Copies the region of from onto the target, scaled to the target
    // rectangle and clipped to the target's bounds; changed receives the
    // rectangle written.
    HRESULT CopyFrom(Surface* from, const RECT& region, const BlitTarget& target, RECT* changed);

    ULONG references_ = 1;
    int width_;
    int height_;
    struct FreePixels {
        void operator()(uint32_t* p) const { std::free(p); }
    };
    // From calloc: large blocks come straight from the system as zero pages,
    // so rows the game never draws (the back buffer's strips past the board)
    // cost no memory.
    std::unique_ptr<uint32_t[], FreePixels> pixels_;
    bool lost_ = false;
    uint64_t version_ = 0;
    HDC dc_ = nullptr;
    Clipper* clipper_ = nullptr;
    Palette* palette_ = nullptr;
    ScaledCopyCache scaledCopies_;
};

// The live objects of each kind; null for anything that is not one.
Surface* FindSurface(IDirectDrawSurface* surface);
Clipper* FindClipper(IDirectDrawClipper* clipper);
Palette* FindPalette(IDirectDrawPalette* palette);
const std::vector<Surface*>& LiveSurfaces();
void EnlistSurface(Surface* surface);
void DelistSurface(Surface* surface);

// Counted Blt calls and the armed loss, for the test hooks.
struct BlitEvents {
    unsigned long count = 0;
    unsigned loseAllAt = 0;  // 0: not armed; n: the n-th next Blt finds every surface lost
};
BlitEvents& TheBlitEvents();
int LiveObjectCount();
