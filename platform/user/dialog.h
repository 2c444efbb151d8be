// The dialog manager: modal dialog boxes built from dialog templates, their
// child controls and the keyboard interface users know from dialogs (Tab,
// Shift+Tab, Enter, Esc, Space).
#pragma once

#include "platform/winuser.h"

namespace user {

// What one dialog unit is in pixels: x = units * averageWidth / 4 and
// y = units * lineHeight / 8 of the dialog font, rounded to nearest as
// Windows' MulDiv does. Our one UI font stands for every template font.
struct DialogBaseUnits {
    int averageWidth;
    int lineHeight;
};
DialogBaseUnits DialogFontUnits();
RECT DialogUnitsToPixels(const RECT& units, const DialogBaseUnits& base);

// True for windows made by DialogBoxParamA that are still running.
bool IsDialog(HWND window);

// A held push button keeps getting the mouse while the pointer is elsewhere
// in its dialog, so a press that ends outside it does not click.
void SetDialogCapture(HWND control);
void ReleaseDialogCapture(HWND control);

}  // namespace user
