// Any bytes as a bitmap resource given to LoadImageA's resource path. The
// first two bytes ask for a width and a height (0 keeps the picture's own,
// anything else goes through the resizing copy); the rest is the resource.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_gdi.h"
#include "fuzz/fuzz_resources.h"
#include "platform/gdi/bitmap_load.h"
#include "platform/winuser.h"

FUZZ_DEFINE_RESOURCE_TABLE();

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int width = data[0] % 64;
    const int height = data[1] % 64;
    const WORD name = fuzz::PlaceResource(data + 2, size - 2);
    if (name == 0) return 0;
    HBITMAP bitmap =
        LoadBitmapImage(nullptr, MAKEINTRESOURCEA(name), width, height, LR_CREATEDIBSECTION);
    if (bitmap != nullptr) fuzz::DrawAndDelete(bitmap, width, height);
    return 0;
}
