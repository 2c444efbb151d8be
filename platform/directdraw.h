// DirectDraw, first interface versions: the object, surfaces, clipper and
// palette, with just the methods the game calls (plus IUnknown's).
#pragma once

#include "platform/windef.h"
#include "platform/wingdi.h"

#ifdef _WIN32
#include <ddraw.h>
#else

struct IDirectDraw;
struct IDirectDrawSurface;
struct IDirectDrawClipper;
struct IDirectDrawPalette;
typedef IDirectDraw* LPDIRECTDRAW;
typedef IDirectDrawSurface* LPDIRECTDRAWSURFACE;
typedef IDirectDrawClipper* LPDIRECTDRAWCLIPPER;
typedef IDirectDrawPalette* LPDIRECTDRAWPALETTE;

struct DDCOLORKEY {
    DWORD dwColorSpaceLowValue;
    DWORD dwColorSpaceHighValue;
};

struct DDPIXELFORMAT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    DWORD dwRGBBitCount;
    DWORD dwRBitMask;
    DWORD dwGBitMask;
    DWORD dwBBitMask;
    DWORD dwRGBAlphaBitMask;
};

struct DDSCAPS {
    DWORD dwCaps;
};

struct DDSURFACEDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    LONG lPitch;
    DWORD dwBackBufferCount;
    DWORD dwRefreshRate;
    DWORD dwAlphaBitDepth;
    DWORD dwReserved;
    LPVOID lpSurface;
    DDCOLORKEY ddckCKDestOverlay;
    DDCOLORKEY ddckCKDestBlt;
    DDCOLORKEY ddckCKSrcOverlay;
    DDCOLORKEY ddckCKSrcBlt;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS ddsCaps;
};
typedef DDSURFACEDESC* LPDDSURFACEDESC;

struct DDBLTFX;
typedef DDBLTFX* LPDDBLTFX;

#define DD_OK S_OK
#define DDERR_GENERIC E_FAIL
#define DDERR_INVALIDPARAMS E_INVALIDARG
#define DDERR_OUTOFMEMORY E_OUTOFMEMORY
#define DDERR_SURFACELOST ((HRESULT)0x887601C2L)
#define DDERR_NODIRECTDRAWHW ((HRESULT)0x88760208L)
#define DDERR_NOCLIPPERATTACHED ((HRESULT)0x887600CDL)
#define DDERR_NOTFOUND ((HRESULT)0x887600FFL)

#define DDSCL_NORMAL 0x00000008L
#define DDSD_CAPS 0x00000001L
#define DDSD_HEIGHT 0x00000002L
#define DDSD_WIDTH 0x00000004L
#define DDSD_PITCH 0x00000008L
#define DDSD_PIXELFORMAT 0x00001000L
#define DDSCAPS_OFFSCREENPLAIN 0x00000040L
#define DDSCAPS_PRIMARYSURFACE 0x00000200L
#define DDPCAPS_8BIT 0x00000004L
#define DDBLT_WAIT 0x01000000L

struct IDirectDrawClipper : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetHWnd(DWORD flags, HWND window) = 0;
};

struct IDirectDrawPalette : IUnknown {};

struct IDirectDrawSurface : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Blt(LPRECT destRect, LPDIRECTDRAWSURFACE source,
                                          LPRECT sourceRect, DWORD flags, LPDDBLTFX effects) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDC(HDC* dc) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC description) = 0;
    virtual HRESULT STDMETHODCALLTYPE ReleaseDC(HDC dc) = 0;
    virtual HRESULT STDMETHODCALLTYPE Restore() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetClipper(LPDIRECTDRAWCLIPPER clipper) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetPalette(LPDIRECTDRAWPALETTE palette) = 0;
};

struct IDirectDraw : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper,
                                                    IUnknown* outer) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreatePalette(DWORD flags, LPPALETTEENTRY entries,
                                                    LPDIRECTDRAWPALETTE* palette,
                                                    IUnknown* outer) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC description,
                                                    LPDIRECTDRAWSURFACE* surface,
                                                    IUnknown* outer) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) = 0;
};

HRESULT WINAPI DirectDrawCreate(GUID* driverGuid, LPDIRECTDRAW* directDraw, IUnknown* outer);

#endif  // _WIN32
