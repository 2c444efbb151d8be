// The one header the game includes for the Windows API it calls. On Windows
// it is the real API; elsewhere it is our own layer with the same names.
#pragma once

#include "platform/windef.h"
#include "platform/winbase.h"
#include "platform/wingdi.h"
#include "platform/winuser.h"
#include "platform/mmsystem.h"
