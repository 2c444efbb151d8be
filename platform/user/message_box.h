// MessageBoxA's window, for tests that press its buttons with the mouse.
#pragma once

#include "platform/winuser.h"

namespace user {

// The client rectangle of the button that returns `result`; false when the
// window is not a message box or has no such button.
bool MessageBoxButtonRect(HWND box, int result, RECT* rect);

}  // namespace user
