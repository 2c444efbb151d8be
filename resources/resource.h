// Integer ids of the program's resources and controls, shared by the resource
// script and the C++ sources. The sprite sheet, the icon and the two sounds
// are deliberately not listed: the program loads them by their names
// ("IDB_TUMBLA", "IDI_ICON1", "IDR_EXPLODE", "IDR_APPLAUSE"), so they must
// stay string-named resources.
#pragma once

#define IDR_MENU 101
#define IDD_ABOUT 104
#define IDD_HIGH_SCORE 107
#define IDD_HIGH_SCORES 108

#define IDC_NAME_EDIT 1000
#define IDC_NAMES_LIST 1002
#define IDC_SCORES_LIST 1003

#ifndef IDC_STATIC
#define IDC_STATIC -1
#endif

#define IDM_HELP 40001
#define IDM_ABOUT 40002
#define IDM_NEW_GAME 40003
#define IDM_EXIT 40004
#define IDM_HIGH_SCORES 40005
#define IDM_SOUNDS 40008
