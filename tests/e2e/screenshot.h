// Saves what a top-level window shows (the menu bar included) as a BMP file
// in the folder named by TUMBLA_SCREENSHOTS, for people to look at. Does
// nothing when the variable is not set.
#pragma once

#include "platform/windef.h"

void SaveScreenshot(HWND window, const char* name);
