// The entry point, start-up and the main window.
#pragma once

#include "platform/win32.h"

extern HINSTANCE appInstance;
extern HWND mainWindow;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showCommand);
BOOL InitApplication(HINSTANCE instance, int showCommand);
BOOL DisplayInitFailed(HWND window);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
