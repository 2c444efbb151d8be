// Stands in for the help engine until the viewer lands: no help is shown.
#include "platform/winuser.h"

BOOL WINAPI WinHelpA(HWND, LPCSTR, UINT, ULONG_PTR) { return FALSE; }
