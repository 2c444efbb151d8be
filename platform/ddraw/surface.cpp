#include <algorithm>
#include <cstring>

#include "platform/ddraw/objects.h"
#include "platform/ddraw/surface_loss.h"
#include "platform/gdi/surface_dc.h"
#include "platform/user/client_area.h"

namespace {

constexpr DWORD kPixelFormatRgb = 0x00000040;  // DDPF_RGB

bool Within(const RECT& r, int width, int height) {
    return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom && r.right <= width &&
           r.bottom <= height;
}

}  // namespace

Surface::Surface(DirectDrawObject* owner, int width, int height)
    : Child(owner), width_(width), height_(height) {
    EnlistSurface(this);
}

Surface::~Surface() {
    DelistSurface(this);
    if (dc_ != nullptr) DeleteSurfaceDC(dc_);
    Clipper* clipper = clipper_;
    Palette* palette = palette_;
    clipper_ = nullptr;
    palette_ = nullptr;
    if (clipper != nullptr) clipper->Release();
    if (palette != nullptr) palette->Release();
}

bool Surface::Allocate() {
    if (primary()) return true;
    // Cleared to black: the game never draws some strips of its back buffer
    // and they must not show leftovers.
    pixels_.reset(static_cast<uint32_t*>(
        std::calloc(static_cast<size_t>(width_) * static_cast<size_t>(height_), sizeof(uint32_t))));
    return pixels_ != nullptr;
}

HRESULT Surface::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) return E_INVALIDARG;
    static const GUID kUnknown = {0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    if (std::memcmp(&riid, &kUnknown, sizeof kUnknown) == 0) {
        AddRef();
        *object = static_cast<IUnknown*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG Surface::AddRef() { return ++references_; }

ULONG Surface::Release() {
    if (--references_ > 0) return references_;
    delete this;
    return 0;
}

void Surface::MarkLost() {
    lost_ = true;
    ContentChanging();
}

void Surface::Forget(const Child* child) {
    if (clipper_ != nullptr && static_cast<const Child*>(clipper_) == child) clipper_ = nullptr;
    if (palette_ != nullptr && static_cast<const Child*>(palette_) == child) palette_ = nullptr;
}

HRESULT Surface::Blt(LPRECT destRect, LPDIRECTDRAWSURFACE source, LPRECT sourceRect, DWORD flags,
                     LPDDBLTFX effects) {
    BlitEvents& events = TheBlitEvents();
    ++events.count;
    if (events.loseAllAt != 0 && --events.loseAllAt == 0) LoseAllSurfaces();

    // Only plain copies: no colour fills or other effects, which the game
    // never asks for. Waiting is implied, nothing here is ever busy.
    Surface* from = FindSurface(source);
    if (from == nullptr || effects != nullptr || (flags & ~static_cast<DWORD>(DDBLT_WAIT))) {
        return DDERR_INVALIDPARAMS;
    }
    if (lost_ || from->lost_) return DDERR_SURFACELOST;
    // The screen cannot be read back.
    if (from->primary()) return DDERR_INVALIDPARAMS;
    const RECT region = sourceRect ? *sourceRect : RECT{0, 0, from->width_, from->height_};
    if (!Within(region, from->width_, from->height_)) return DDERR_INVALIDPARAMS;
    if (destRect != nullptr &&
        (destRect->left >= destRect->right || destRect->top >= destRect->bottom)) {
        return DDERR_INVALIDPARAMS;
    }

    if (!primary()) {
        const RECT whole = {0, 0, width_, height_};
        const RECT& d = destRect ? *destRect : whole;
        BlitTarget target = {pixels_.get(), width_, width_,  height_,
                             d.left,        d.top,  d.right, d.bottom};
        RECT changed;
        return CopyFrom(from, region, target, &changed);
    }

    // The primary surface is the screen: the blit lands in the client area
    // of the clipper's window, in screen coordinates, and shows at once.
    if (clipper_ == nullptr || clipper_->window() == nullptr) return DDERR_NOCLIPPERATTACHED;
    const HWND window = clipper_->window();
    ClientArea area;
    // A window that is hidden or gone has nothing visible to draw into.
    if (!LockClientArea(window, &area)) return DD_OK;
    RECT d = destRect ? *destRect
                      : RECT{area.origin.x, area.origin.y, area.origin.x + area.width,
                             area.origin.y + area.height};
    BlitTarget target = {area.pixels,
                         area.pitch,
                         area.width,
                         area.height,
                         static_cast<int64_t>(d.left) - area.origin.x,
                         static_cast<int64_t>(d.top) - area.origin.y,
                         static_cast<int64_t>(d.right) - area.origin.x,
                         static_cast<int64_t>(d.bottom) - area.origin.y};
    RECT changed = {0, 0, 0, 0};
    const HRESULT result = CopyFrom(from, region, target, &changed);
    UnlockClientArea(window, &changed);
    return result;
}

HRESULT Surface::CopyFrom(Surface* from, const RECT& region, const BlitTarget& target,
                          RECT* changed) {
    *changed = {0, 0, 0, 0};
    const int64_t x0 = std::max<int64_t>(target.left, 0);
    const int64_t y0 = std::max<int64_t>(target.top, 0);
    const int64_t x1 = std::min<int64_t>(target.right, target.width);
    const int64_t y1 = std::min<int64_t>(target.bottom, target.height);
    if (x0 >= x1 || y0 >= y1) return DD_OK;
    const int64_t width = target.right - target.left;
    const int64_t height = target.bottom - target.top;
    const int sourceWidth = region.right - region.left;
    const int sourceHeight = region.bottom - region.top;
    const size_t rowBytes = static_cast<size_t>(x1 - x0) * sizeof(uint32_t);
    uint32_t* out = target.pixels + static_cast<size_t>(y0) * target.pitch + x0;
    const bool intoSelf = target.pixels == pixels_.get() && from == this;

    if (width == sourceWidth && height == sourceHeight) {
        const uint32_t* in = from->pixels_.get() +
                             static_cast<size_t>(region.top + (y0 - target.top)) * from->width_ +
                             region.left + (x0 - target.left);
        if (target.pixels == pixels_.get()) ContentChanging();
        const int64_t rows = y1 - y0;
        // Within one surface, copy rows in the order that never overwrites a
        // row still to be read.
        const bool upwards = intoSelf && out > in;
        for (int64_t i = 0; i < rows; ++i) {
            const int64_t row = upwards ? rows - 1 - i : i;
            std::memmove(out + row * target.pitch, in + row * from->width_, rowBytes);
        }
    } else {
        const uint32_t* origin =
            from->pixels_.get() + static_cast<size_t>(region.top) * from->width_ + region.left;
        const uint32_t* scaled =
            width <= INT32_MAX && height <= INT32_MAX
                ? from->scaledCopies_.Get(from->pixels_.get(), from->width_, region,
                                          static_cast<int>(width), static_cast<int>(height),
                                          from->version_)
                : nullptr;
        if (scaled != nullptr) {
            if (target.pixels == pixels_.get()) ContentChanging();
            const uint32_t* in =
                scaled + static_cast<size_t>(y0 - target.top) * width + (x0 - target.left);
            for (int64_t row = 0; row < y1 - y0; ++row) {
                std::memcpy(out + row * target.pitch, in + row * width, rowBytes);
            }
        } else {
            // Too large to keep: scale just the visible part, from a copy of
            // the source when it is the destination itself.
            std::vector<uint32_t> copy;
            int pitch = from->width_;
            if (intoSelf) {
                try {
                    copy.resize(static_cast<size_t>(sourceWidth) * sourceHeight);
                } catch (...) {
                    return DDERR_OUTOFMEMORY;
                }
                for (int row = 0; row < sourceHeight; ++row) {
                    std::memcpy(copy.data() + static_cast<size_t>(row) * sourceWidth,
                                origin + static_cast<size_t>(row) * from->width_,
                                sourceWidth * sizeof(uint32_t));
                }
                origin = copy.data();
                pitch = sourceWidth;
            }
            if (target.pixels == pixels_.get()) ContentChanging();
            if (!ScaleRegion(origin, pitch, sourceWidth, sourceHeight, width, height,
                             x0 - target.left, y0 - target.top, x1 - target.left, y1 - target.top,
                             out, target.pitch)) {
                return DDERR_OUTOFMEMORY;
            }
        }
    }
    *changed = {static_cast<LONG>(x0), static_cast<LONG>(y0), static_cast<LONG>(x1),
                static_cast<LONG>(y1)};
    return DD_OK;
}

HRESULT Surface::GetDC(HDC* dc) {
    if (dc == nullptr) return DDERR_INVALIDPARAMS;
    *dc = nullptr;
    if (lost_) return DDERR_SURFACELOST;
    // The screen has no pixels of its own to draw on, and one context at a
    // time is handed out.
    if (primary() || dc_ != nullptr) return DDERR_GENERIC;
    dc_ = CreateSurfaceDC(pixels_.get(), width_, width_, height_);
    if (dc_ == nullptr) return DDERR_OUTOFMEMORY;
    ContentChanging();
    *dc = dc_;
    return DD_OK;
}

HRESULT Surface::ReleaseDC(HDC dc) {
    if (dc == nullptr || dc != dc_) return DDERR_INVALIDPARAMS;
    DeleteSurfaceDC(dc_);
    dc_ = nullptr;
    ContentChanging();
    return DD_OK;
}

HRESULT Surface::GetSurfaceDesc(LPDDSURFACEDESC description) {
    if (description == nullptr || description->dwSize != sizeof(DDSURFACEDESC)) {
        return DDERR_INVALIDPARAMS;
    }
    std::memset(description, 0, sizeof *description);
    description->dwSize = sizeof(DDSURFACEDESC);
    description->dwFlags = DDSD_CAPS | DDSD_PIXELFORMAT;
    if (!primary()) {
        description->dwFlags |= DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH;
        description->dwWidth = static_cast<DWORD>(width_);
        description->dwHeight = static_cast<DWORD>(height_);
        description->lPitch = width_ * static_cast<LONG>(sizeof(uint32_t));
    }
    DDPIXELFORMAT& format = description->ddpfPixelFormat;
    format.dwSize = sizeof(DDPIXELFORMAT);
    format.dwFlags = kPixelFormatRgb;
    format.dwRGBBitCount = 32;
    format.dwRBitMask = 0x00FF0000;
    format.dwGBitMask = 0x0000FF00;
    format.dwBBitMask = 0x000000FF;
    description->ddsCaps.dwCaps = primary() ? DDSCAPS_PRIMARYSURFACE : DDSCAPS_OFFSCREENPLAIN;
    return DD_OK;
}

HRESULT Surface::Restore() {
    if (!lost_) return DD_OK;
    lost_ = false;
    // The memory comes back blank; its owner draws the content again.
    if (!primary()) {
        std::memset(pixels_.get(), 0,
                    static_cast<size_t>(width_) * static_cast<size_t>(height_) * sizeof(uint32_t));
    }
    ContentChanging();
    return DD_OK;
}

HRESULT Surface::SetClipper(LPDIRECTDRAWCLIPPER clipper) {
    Clipper* next = nullptr;
    if (clipper != nullptr) {
        next = FindClipper(clipper);
        if (next == nullptr) return DDERR_INVALIDPARAMS;
        next->AddRef();
    }
    Clipper* previous = clipper_;
    clipper_ = next;
    if (previous != nullptr) previous->Release();
    return DD_OK;
}

HRESULT Surface::SetPalette(LPDIRECTDRAWPALETTE palette) {
    // Kept for whoever asks; 32-bit pixels do not go through it.
    Palette* next = nullptr;
    if (palette != nullptr) {
        next = FindPalette(palette);
        if (next == nullptr) return DDERR_INVALIDPARAMS;
        next->AddRef();
    }
    Palette* previous = palette_;
    palette_ = next;
    if (previous != nullptr) previous->Release();
    return DD_OK;
}
