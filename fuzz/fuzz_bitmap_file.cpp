// Any bytes as a .bmp file given to LoadImageA's file path: either no
// bitmap, or one the GDI can describe, select and copy from.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_files.h"
#include "fuzz/fuzz_gdi.h"
#include "fuzz/fuzz_resources.h"
#include "platform/gdi/bitmap_load.h"
#include "platform/winuser.h"

FUZZ_DEFINE_NO_RESOURCES();

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::EnterPrivateFolder(argc, argv, "fuzz_bitmap_file");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteWholeFile("picture.bmp", data, size);
    HBITMAP bitmap =
        LoadBitmapImage(nullptr, "picture.bmp", 0, 0, LR_CREATEDIBSECTION | LR_LOADFROMFILE);
    if (bitmap != nullptr) fuzz::DrawAndDelete(bitmap, 0, 0);
    return 0;
}
