// The end-of-game score entry and the two high-score dialogs.
#pragma once

#include "platform/win32.h"

#define CLEARED_BOARD_BONUS 250

extern char playerName[80];
extern int highScoresShowing;
extern HWND highScoresDialog;

void RecordHighScore();
void ShowHighScores();
INT_PTR CALLBACK NameDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK HighScoresDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
