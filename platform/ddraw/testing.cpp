#include "platform/ddraw/testing.h"

#include <cstring>

#include "platform/ddraw/objects.h"
#include "platform/ddraw/surface_loss.h"

bool DDrawTestLoseSurface(LPDIRECTDRAWSURFACE surface) {
    Surface* found = FindSurface(surface);
    if (found == nullptr) return false;
    found->MarkLost();
    return true;
}

void DDrawTestLoseAllSurfaces() { LoseAllSurfaces(); }

void DDrawTestLoseAllSurfacesAtBlt(unsigned n) { TheBlitEvents().loseAllAt = n; }

unsigned long DDrawTestBlitCount() { return TheBlitEvents().count; }

void DDrawTestResetBlitCount() { TheBlitEvents().count = 0; }

int DDrawTestLiveObjectCount() { return LiveObjectCount(); }

uint32_t* DDrawTestSurfacePixels(LPDIRECTDRAWSURFACE surface, int* pitch) {
    Surface* found = FindSurface(surface);
    if (found == nullptr || found->primary()) return nullptr;
    found->ContentChanging();
    if (pitch != nullptr) *pitch = found->width();
    return found->pixels();
}

bool DDrawTestPaletteEntries(LPDIRECTDRAWPALETTE palette, PALETTEENTRY entries[256]) {
    const Palette* found = FindPalette(palette);
    if (found == nullptr || entries == nullptr) return false;
    std::memcpy(entries, found->entries(), 256 * sizeof(PALETTEENTRY));
    return true;
}

LPDIRECTDRAWPALETTE DDrawTestSurfacePalette(LPDIRECTDRAWSURFACE surface) {
    const Surface* found = FindSurface(surface);
    return found != nullptr ? found->palette() : nullptr;
}

LPDIRECTDRAWCLIPPER DDrawTestSurfaceClipper(LPDIRECTDRAWSURFACE surface) {
    const Surface* found = FindSurface(surface);
    return found != nullptr ? found->clipper() : nullptr;
}

HWND DDrawTestClipperWindow(LPDIRECTDRAWCLIPPER clipper) {
    const Clipper* found = FindClipper(clipper);
    return found != nullptr ? found->window() : nullptr;
}
