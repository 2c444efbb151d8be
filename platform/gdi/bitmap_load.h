// The bitmap half of LoadImageA: a DIB section from a bitmap resource of the
// given module, or from a .bmp file when LR_LOADFROMFILE is set.
#pragma once

#include "platform/windef.h"

// Null when there is no such resource or file, or it is not a usable bitmap.
HBITMAP LoadBitmapImage(HINSTANCE instance, LPCSTR name, int width, int height, UINT flags);
