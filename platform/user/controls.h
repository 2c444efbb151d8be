// The predefined control classes a dialog template names (BUTTON, EDIT,
// STATIC, LISTBOX), drawn in the classic grey look into their top-level
// window's framebuffer. Registered on first use, by name and by the atoms
// templates use for them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/winuser.h"

// Messages, notifications and codes of the controls the game never names.
#define BN_CLICKED 0
#define EN_SETFOCUS 0x0100
#define EN_KILLFOCUS 0x0200
#define EN_CHANGE 0x0300
#define LBN_SELCHANGE 1
#define LBN_SETFOCUS 4
#define LBN_KILLFOCUS 5
#define LB_DELETESTRING 0x0182
#define LB_RESETCONTENT 0x0184
#define LB_SETCURSEL 0x0186
#define LB_GETCURSEL 0x0188
#define LB_GETTOPINDEX 0x018E
#define LB_SETTOPINDEX 0x0197
#define LB_GETITEMHEIGHT 0x01A1
#define STM_SETICON 0x0170
#define STM_GETICON 0x0171
#define BS_TYPEMASK 0x0000000FL
#define SS_TYPEMASK 0x0000001FL
#define SS_CENTER 0x00000001L
#define SS_RIGHT 0x00000002L
#define VK_PRIOR 0x21
#define VK_NEXT 0x22

namespace user {

// Registers the four classes once; false when registration failed.
bool RegisterControlClasses();
// The class name for a template's class atom (0x80 BUTTON, 0x81 EDIT,
// 0x82 STATIC, 0x83 LISTBOX), or null for atoms we do not have.
const char* ControlClassForAtom(uint16_t atom);

// Window procedures of the classes, for registration.
LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Tells the parent, as WM_COMMAND with the id low and the code high.
void NotifyParent(HWND control, UINT code);
// The control's rectangle in its top-level framebuffer.
RECT ControlFrameRect(HWND control);
int16_t PointX(LPARAM lParam);
// Where an edit field's caret and horizontal scroll stand; false for
// windows that are not edit fields.
bool EditCaret(HWND window, size_t* caret, int* scroll);
int16_t PointY(LPARAM lParam);

}  // namespace user
