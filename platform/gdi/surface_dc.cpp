#include "platform/gdi/surface_dc.h"

#include <new>

#include "platform/gdi/gdi_objects.h"

HDC CreateSurfaceDC(uint32_t* pixels, int pitch, int width, int height) {
    if (pixels == nullptr || width <= 0 || height <= 0 || pitch < width) return nullptr;
    auto* dc = new (std::nothrow) DeviceContext();
    if (dc == nullptr) return nullptr;
    dc->kind = GdiKind::SurfaceDC;
    dc->pixels = pixels;
    dc->pitch = pitch;
    dc->width = width;
    dc->height = height;
    HDC handle = AddDC(dc);
    if (handle == nullptr) delete dc;
    return handle;
}

void DeleteSurfaceDC(HDC handle) {
    DeviceContext* dc = FindDC(handle);
    if (dc != nullptr && dc->kind == GdiKind::SurfaceDC) RemoveDC(dc);
}
