#include <algorithm>
#include <cstring>
#include <new>

#include "platform/ddraw/objects.h"
#include "platform/directdraw.h"
#include "platform/user/client_area.h"

namespace {

// Never destroyed, so lookups stay valid during static destruction.
template <typename T>
std::vector<T*>& Live() {
    static auto* live = new std::vector<T*>();
    return *live;
}

template <typename T>
void Enlist(T* object) {
    Live<T>().push_back(object);
}

template <typename T>
void Delist(T* object) {
    auto& live = Live<T>();
    live.erase(std::remove(live.begin(), live.end(), object), live.end());
}

template <typename Interface, typename T>
T* Find(Interface* pointer) {
    if (pointer == nullptr) return nullptr;
    for (T* object : Live<T>()) {
        if (static_cast<Interface*>(object) == pointer) return object;
    }
    return nullptr;
}

// Only IUnknown itself is asked for by identity; the game asks for nothing.
HRESULT AnswerQuery(IUnknown* self, REFIID riid, void** object) {
    if (object == nullptr) return E_INVALIDARG;
    static const GUID kUnknown = {0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    if (std::memcmp(&riid, &kUnknown, sizeof kUnknown) == 0) {
        self->AddRef();
        *object = self;
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

// Off-screen surfaces larger than this are refused as invalid sizes.
constexpr DWORD kMaxSide = 16384;
constexpr uint64_t kMaxPixels = uint64_t{1} << 25;

}  // namespace

Surface* FindSurface(IDirectDrawSurface* surface) {
    return Find<IDirectDrawSurface, Surface>(surface);
}
Clipper* FindClipper(IDirectDrawClipper* clipper) {
    return Find<IDirectDrawClipper, Clipper>(clipper);
}
Palette* FindPalette(IDirectDrawPalette* palette) {
    return Find<IDirectDrawPalette, Palette>(palette);
}
const std::vector<Surface*>& LiveSurfaces() { return Live<Surface>(); }

int LiveObjectCount() {
    return static_cast<int>(Live<DirectDrawObject>().size() + Live<Surface>().size() +
                            Live<Clipper>().size() + Live<Palette>().size());
}

BlitEvents& TheBlitEvents() {
    static BlitEvents events;
    return events;
}

// Registration of surfaces happens here too, next to the other kinds.
void EnlistSurface(Surface* surface) { Enlist(surface); }
void DelistSurface(Surface* surface) { Delist(surface); }

Child::Child(DirectDrawObject* owner) : owner_(owner) { owner_->Adopt(this); }
Child::~Child() { owner_->Disown(this); }

void DirectDrawObject::Disown(Child* child) {
    children_.erase(std::remove(children_.begin(), children_.end(), child), children_.end());
}

HRESULT WINAPI DirectDrawCreate(GUID* driverGuid, LPDIRECTDRAW* directDraw, IUnknown* outer) {
    if (directDraw == nullptr) return DDERR_INVALIDPARAMS;
    *directDraw = nullptr;
    if (driverGuid != nullptr || outer != nullptr) return DDERR_INVALIDPARAMS;
    if (!DisplayAvailable()) return DDERR_NODIRECTDRAWHW;
    auto* object = new (std::nothrow) DirectDrawObject();
    if (object == nullptr) return DDERR_OUTOFMEMORY;
    try {
        Enlist(object);
    } catch (...) {
        delete object;
        return DDERR_OUTOFMEMORY;
    }
    *directDraw = object;
    return DD_OK;
}

HRESULT DirectDrawObject::QueryInterface(REFIID riid, void** object) {
    return AnswerQuery(this, riid, object);
}

ULONG DirectDrawObject::AddRef() { return ++references_; }

ULONG DirectDrawObject::Release() {
    if (--references_ > 0) return references_;
    // Each child takes itself off the list as it goes, and may take others
    // with it (a surface releasing the last reference to its clipper).
    while (!children_.empty()) delete children_.back();
    Delist(this);
    delete this;
    return 0;
}

HRESULT DirectDrawObject::SetCooperativeLevel(HWND window, DWORD flags) {
    // Sharing the desktop is all there is; the screen is never taken over.
    if (flags != DDSCL_NORMAL) return DDERR_INVALIDPARAMS;
    window_ = window;
    return DD_OK;
}

HRESULT DirectDrawObject::CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper,
                                        IUnknown* outer) {
    if (clipper == nullptr) return DDERR_INVALIDPARAMS;
    *clipper = nullptr;
    if (flags != 0 || outer != nullptr) return DDERR_INVALIDPARAMS;
    Clipper* made = nullptr;
    try {
        made = new Clipper(this);
    } catch (...) {
        return DDERR_OUTOFMEMORY;
    }
    *clipper = made;
    return DD_OK;
}

HRESULT DirectDrawObject::CreatePalette(DWORD flags, LPPALETTEENTRY entries,
                                        LPDIRECTDRAWPALETTE* palette, IUnknown* outer) {
    if (palette == nullptr) return DDERR_INVALIDPARAMS;
    *palette = nullptr;
    if (!(flags & DDPCAPS_8BIT) || entries == nullptr || outer != nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    Palette* made = nullptr;
    try {
        made = new Palette(this, entries);
    } catch (...) {
        return DDERR_OUTOFMEMORY;
    }
    *palette = made;
    return DD_OK;
}

HRESULT DirectDrawObject::CreateSurface(LPDDSURFACEDESC description, LPDIRECTDRAWSURFACE* surface,
                                        IUnknown* outer) {
    if (surface == nullptr) return DDERR_INVALIDPARAMS;
    *surface = nullptr;
    if (description == nullptr || outer != nullptr ||
        description->dwSize != sizeof(DDSURFACEDESC) || !(description->dwFlags & DDSD_CAPS)) {
        return DDERR_INVALIDPARAMS;
    }
    const DWORD caps = description->ddsCaps.dwCaps;
    const DWORD sizeFlags = description->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT);
    int width = 0, height = 0;
    if (caps & DDSCAPS_PRIMARYSURFACE) {
        // The screen has the size it has.
        if (sizeFlags != 0 || (caps & DDSCAPS_OFFSCREENPLAIN)) return DDERR_INVALIDPARAMS;
    } else if (caps & DDSCAPS_OFFSCREENPLAIN) {
        const DWORD w = description->dwWidth, h = description->dwHeight;
        if (sizeFlags != (DDSD_WIDTH | DDSD_HEIGHT) || w == 0 || h == 0 || w > kMaxSide ||
            h > kMaxSide || static_cast<uint64_t>(w) * h > kMaxPixels) {
            return DDERR_INVALIDPARAMS;
        }
        width = static_cast<int>(w);
        height = static_cast<int>(h);
    } else {
        return DDERR_INVALIDPARAMS;
    }
    Surface* made = nullptr;
    try {
        made = new Surface(this, width, height);
    } catch (...) {
        return DDERR_OUTOFMEMORY;
    }
    if (!made->Allocate()) {
        made->Release();
        return DDERR_OUTOFMEMORY;
    }
    *surface = made;
    return DD_OK;
}

Clipper::Clipper(DirectDrawObject* owner) : Child(owner) { Enlist(this); }

Clipper::~Clipper() {
    Delist(this);
    for (Surface* surface : LiveSurfaces()) surface->Forget(this);
}

HRESULT Clipper::QueryInterface(REFIID riid, void** object) {
    return AnswerQuery(this, riid, object);
}

ULONG Clipper::AddRef() { return ++references_; }

ULONG Clipper::Release() {
    if (--references_ > 0) return references_;
    delete this;
    return 0;
}

HRESULT Clipper::SetHWnd(DWORD flags, HWND window) {
    if (flags != 0) return DDERR_INVALIDPARAMS;
    window_ = window;
    return DD_OK;
}

Palette::Palette(DirectDrawObject* owner, const PALETTEENTRY* entries) : Child(owner) {
    std::memcpy(entries_, entries, sizeof entries_);
    Enlist(this);
}

Palette::~Palette() {
    Delist(this);
    for (Surface* surface : LiveSurfaces()) surface->Forget(this);
}

HRESULT Palette::QueryInterface(REFIID riid, void** object) {
    return AnswerQuery(this, riid, object);
}

ULONG Palette::AddRef() { return ++references_; }

ULONG Palette::Release() {
    if (--references_ > 0) return references_;
    delete this;
    return 0;
}
