#include "tests/display/fake_platform.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "display/display.h"
#include "display/sprite_sheet.h"
#include "rules/board.h"
#include "shell/app.h"

FakeWorld fake;
GameState gameState;
HWND mainWindow = reinterpret_cast<HWND>(0x1000);
HINSTANCE appInstance = reinterpret_cast<HINSTANCE>(0x2000);

namespace {

std::vector<std::unique_ptr<IUnknown, void (*)(IUnknown*)>> owned;

template <typename T>
T* Keep(T* object) {
    owned.emplace_back(object, [](IUnknown* o) { delete static_cast<T*>(o); });
    return object;
}

std::string RectText(const RECT* r) {
    if (r == nullptr) return "(null)";
    return "(" + std::to_string(r->left) + "," + std::to_string(r->top) + "," +
           std::to_string(r->right) + "," + std::to_string(r->bottom) + ")";
}

std::string NameOf(IUnknown* object) {
    auto* s = dynamic_cast<FakeSurface*>(object);
    return s != nullptr ? s->name : "?";
}

struct FakeClipper final : IDirectDrawClipper {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override {
        fake.log.push_back("release clipper");
        return 0;
    }
    HRESULT STDMETHODCALLTYPE SetHWnd(DWORD, HWND window) override {
        fake.log.push_back(window == mainWindow ? "clipper window main" : "clipper window ?");
        return fake.failing == "SetHWnd" ? DDERR_GENERIC : DD_OK;
    }
};

struct FakePalette final : IDirectDrawPalette {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override {
        fake.log.push_back("release palette");
        return 0;
    }
};

struct FakeDirectDraw final : IDirectDraw {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override {
        fake.log.push_back("release directdraw");
        return 0;
    }
    HRESULT STDMETHODCALLTYPE CreateClipper(DWORD, LPDIRECTDRAWCLIPPER* clipper,
                                            IUnknown*) override {
        fake.log.push_back("create clipper");
        if (fake.failing == "clipper") return DDERR_GENERIC;
        *clipper = Keep(new FakeClipper());
        return DD_OK;
    }
    HRESULT STDMETHODCALLTYPE CreatePalette(DWORD flags, LPPALETTEENTRY entries,
                                            LPDIRECTDRAWPALETTE* palette, IUnknown*) override {
        fake.log.push_back("create palette " + std::to_string(flags));
        std::memcpy(fake.lastPalette, entries, sizeof(fake.lastPalette));
        if (fake.failing == "palette") return DDERR_GENERIC;
        *palette = Keep(new FakePalette());
        return DD_OK;
    }
    HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* surface,
                                            IUnknown*) override {
        std::string name;
        if (desc->ddsCaps.dwCaps == DDSCAPS_PRIMARYSURFACE && desc->dwFlags == DDSD_CAPS) {
            name = "primary";
        } else if (desc->ddsCaps.dwCaps == DDSCAPS_OFFSCREENPLAIN &&
                   desc->dwFlags == (DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH)) {
            name = desc->dwWidth == 640 && desc->dwHeight == 480 ? "back" : "sheet";
        } else {
            name = "unexpected";
        }
        fake.log.push_back("create " + name + " " + std::to_string(desc->dwWidth) + "x" +
                           std::to_string(desc->dwHeight));
        if (fake.failing == (name == "back" ? "backbuffer" : name)) return DDERR_GENERIC;
        auto* s = Keep(new FakeSurface(name));
        s->width = desc->dwWidth;
        s->height = desc->dwHeight;
        fake.surfaces.push_back(s);
        *surface = s;
        return DD_OK;
    }
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) override {
        fake.log.push_back(std::string("cooperative ") + (window == mainWindow ? "main " : "? ") +
                           std::to_string(flags));
        return DD_OK;
    }
};

// Stand-ins for the bitmap and its device contexts.
HBITMAP const theBitmap = reinterpret_cast<HBITMAP>(0x3000);
HDC const memoryDc = reinterpret_cast<HDC>(0x4000);
HDC const surfaceDc = reinterpret_cast<HDC>(0x5000);
const HFILE paletteFileHandle = 7;
size_t paletteFileOffset = 0;

}  // namespace

FakeSurface* FakeWorld::Surface(const std::string& name) const {
    for (FakeSurface* s : surfaces) {
        if (s->name == name) return s;
    }
    return nullptr;
}

std::vector<std::string> FakeWorld::Entries(const std::string& prefix) const {
    std::vector<std::string> out;
    std::copy_if(log.begin(), log.end(), std::back_inserter(out),
                 [&](const std::string& e) { return e.rfind(prefix, 0) == 0; });
    return out;
}

void ResetFakeWorld() {
    directDraw = nullptr;
    primarySurface = nullptr;
    windowClipper = nullptr;
    backBuffer = nullptr;
    sheetPalette = nullptr;
    spriteSheet = nullptr;
    owned.clear();
    fake = FakeWorld();
    gameState = GameState();
    gameState.lastShownPoints = -1;
    std::strcpy(spriteSheetName, "IDB_TUMBLA");
}

HRESULT FakeSurface::QueryInterface(REFIID, void**) { return E_NOINTERFACE; }
ULONG FakeSurface::AddRef() { return ++references; }
ULONG FakeSurface::Release() {
    fake.log.push_back("release " + name);
    return --references;
}
HRESULT FakeSurface::Blt(LPRECT dest, LPDIRECTDRAWSURFACE source, LPRECT sourceRect, DWORD flags,
                         LPDDBLTFX effects) {
    if (flags != DDBLT_WAIT || effects != nullptr) {
        fake.log.push_back("blt with unexpected flags");
    }
    fake.log.push_back("blt " + name + " " + RectText(dest) + " <- " + NameOf(source) + " " +
                       RectText(sourceRect));
    if (loseAfterBlits == 0) {
        lost = true;
    }
    if (loseAfterBlits >= 0) loseAfterBlits--;
    auto* src = dynamic_cast<FakeSurface*>(source);
    if (lost || (src != nullptr && src->lost)) return DDERR_SURFACELOST;
    return DD_OK;
}
HRESULT FakeSurface::GetDC(HDC* dc) {
    fake.log.push_back("getdc " + name);
    if (lost) return DDERR_SURFACELOST;
    *dc = surfaceDc;
    return DD_OK;
}
HRESULT FakeSurface::GetSurfaceDesc(LPDDSURFACEDESC desc) {
    desc->dwWidth = width;
    desc->dwHeight = height;
    return DD_OK;
}
HRESULT FakeSurface::ReleaseDC(HDC) {
    fake.log.push_back("releasedc " + name);
    return DD_OK;
}
HRESULT FakeSurface::Restore() {
    fake.log.push_back("restore " + name);
    if (restoreResult == DD_OK) lost = false;
    return restoreResult;
}
HRESULT FakeSurface::SetClipper(LPDIRECTDRAWCLIPPER) {
    fake.log.push_back("setclipper " + name);
    return fake.failing == "SetClipper" ? DDERR_GENERIC : DD_OK;
}
HRESULT FakeSurface::SetPalette(LPDIRECTDRAWPALETTE) {
    fake.log.push_back("setpalette " + name);
    return DD_OK;
}

HRESULT WINAPI DirectDrawCreate(GUID* driver, LPDIRECTDRAW* dd, IUnknown* outer) {
    fake.log.push_back(driver == nullptr && outer == nullptr ? "DirectDrawCreate"
                                                             : "DirectDrawCreate ?");
    if (fake.failing == "DirectDrawCreate") return DDERR_GENERIC;
    *dd = Keep(new FakeDirectDraw());
    return DD_OK;
}

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) {
    fake.log.push_back(std::string("title ") + (window == mainWindow ? "" : "? ") + text);
    fake.title = text;
    return TRUE;
}
BOOL WINAPI ClientToScreen(HWND, LPPOINT point) {
    point->x += fake.clientOrigin.x;
    point->y += fake.clientOrigin.y;
    return TRUE;
}
BOOL WINAPI SetRect(LPRECT rect, int left, int top, int right, int bottom) {
    *rect = {left, top, right, bottom};
    return TRUE;
}
BOOL WINAPI OffsetRect(LPRECT rect, int dx, int dy) {
    rect->left += dx;
    rect->right += dx;
    rect->top += dy;
    rect->bottom += dy;
    return TRUE;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR name) {
    return name == nullptr ? reinterpret_cast<HMODULE>(0x2000) : nullptr;
}
HANDLE WINAPI LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int, int, UINT flags) {
    const bool fromFile = (flags & LR_LOADFROMFILE) != 0;
    fake.log.push_back(std::string("loadimage ") + (fromFile ? "file " : "resource ") + name +
                       (type == IMAGE_BITMAP ? "" : " ?") +
                       ((flags & LR_CREATEDIBSECTION) ? "" : " no-dib") +
                       (fromFile == (instance == nullptr) ? "" : " wrong-module"));
    const bool found = fromFile ? fake.fileBitmap : fake.resourceBitmap;
    return found ? theBitmap : nullptr;
}
int WINAPI GetObjectA(HANDLE object, int size, LPVOID buffer) {
    if (object != theBitmap || size < static_cast<int>(sizeof(BITMAP))) return 0;
    BITMAP bm = {};
    bm.bmWidth = 350;
    bm.bmHeight = 650;
    bm.bmPlanes = 1;
    bm.bmBitsPixel = 8;
    std::memcpy(buffer, &bm, sizeof(bm));
    return sizeof(bm);
}
HDC WINAPI CreateCompatibleDC(HDC) {
    fake.log.push_back("memory dc");
    return memoryDc;
}
HGDIOBJ WINAPI SelectObject(HDC, HGDIOBJ) { return nullptr; }
BOOL WINAPI StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                       DWORD rop) {
    fake.log.push_back("stretch " + std::string(dst == surfaceDc && src == memoryDc ? "" : "? ") +
                       std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(w) + "x" +
                       std::to_string(h) + " <- " + std::to_string(sx) + "," + std::to_string(sy) +
                       "," + std::to_string(sw) + "x" + std::to_string(sh) +
                       (rop == SRCCOPY ? "" : " ?"));
    return TRUE;
}
BOOL WINAPI DeleteDC(HDC) {
    fake.log.push_back("delete dc");
    return TRUE;
}
BOOL WINAPI DeleteObject(HGDIOBJ object) {
    fake.log.push_back(object == theBitmap ? "delete bitmap" : "delete ?");
    return TRUE;
}

HRSRC WINAPI FindResourceA(HMODULE, LPCSTR, LPCSTR type) {
    if (fake.paletteResource.empty() || type != RT_BITMAP) return nullptr;
    return reinterpret_cast<HRSRC>(fake.paletteResource.data());
}
HGLOBAL WINAPI LoadResource(HMODULE, HRSRC resource) { return resource; }
LPVOID WINAPI LockResource(HGLOBAL data) { return data; }
DWORD WINAPI SizeofResource(HMODULE, HRSRC) {
    return static_cast<DWORD>(fake.paletteResource.size());
}
HFILE WINAPI _lopen(LPCSTR, int) {
    paletteFileOffset = 0;
    return fake.paletteFile.empty() ? HFILE_ERROR : paletteFileHandle;
}
UINT WINAPI _lread(HFILE, LPVOID buffer, UINT bytes) {
    const size_t left = fake.paletteFile.size() - paletteFileOffset;
    const size_t n = std::min<size_t>(bytes, left);
    std::memcpy(buffer, fake.paletteFile.data() + paletteFileOffset, n);
    paletteFileOffset += n;
    return static_cast<UINT>(n);
}
HFILE WINAPI _lclose(HFILE) { return 0; }
void WINAPI OutputDebugStringA(LPCSTR text) { fake.debugOutput += text; }
