// Provisional: replaced by the resource script's header.
#define IDR_MENU 101
#define IDD_ABOUT 104
#define IDD_HIGH_SCORE 107
#define IDD_HIGH_SCORES 108
#define IDC_NAME_EDIT 1000
#define IDC_NAMES_LIST 1002
#define IDC_SCORES_LIST 1003
#define IDM_HELP 40001
#define IDM_ABOUT 40002
#define IDM_NEW_GAME 40003
#define IDM_EXIT 40004
#define IDM_HIGH_SCORES 40005
#define IDM_SOUNDS 40008
