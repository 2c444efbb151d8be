// Test stand-in for GDI's bitmap loader: these tests load no bitmaps.
#include "platform/gdi/bitmap_load.h"

HBITMAP LoadBitmapImage(HINSTANCE, LPCSTR, int, int, UINT) { return nullptr; }
