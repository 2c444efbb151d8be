#include <cctype>
#include <cstdlib>

#include "display/display.h"
#include "resources/resource.h"
#include "rules/board.h"
#include "scores/high_scores.h"
#include "scores/score_file.h"
#include "shell/app.h"
#include "shell/sound.h"

void ApplySizeRule(MINMAXINFO* info);

namespace {

void OpenHelp() { WinHelpA(mainWindow, "TUMBLA.HLP", HELP_INDEX, 0); }

// Closing, Exit and a confirmed quit key all end here: destroying the window
// releases the display, then the process ends without returning to the loop.
[[noreturn]] void QuitSequence() {
    DestroyWindow(mainWindow);
    std::exit(0);
}

void OnQuitKey(WPARAM wParam) {
    const int key = std::toupper(static_cast<int>(wParam & 0xFF));
    if (key == 27 || key == 'Q') {
        if (MessageBoxA(mainWindow, "Quit ?", "Tumbla", MB_YESNO | MB_ICONQUESTION) == IDYES) {
            SendMessageA(mainWindow, WM_QUIT, 0, 0);
        }
    }
}

void OnCommand(WPARAM wParam) {
    switch (wParam) {
        case IDM_HELP:
            OpenHelp();
            break;
        case IDM_ABOUT:
            DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_ABOUT), mainWindow, AboutDlgProc, 0);
            break;
        case IDM_NEW_GAME:
            NewGame();
            ClearMarks();
            DrawBoard();
            break;
        case IDM_EXIT:
            SendMessageA(mainWindow, WM_QUIT, 0, 0);
            break;
        case IDM_HIGH_SCORES:
            OpenScoreFile();
            ShowHighScores();
            break;
        case IDM_SOUNDS:
            ToggleSounds(mainWindow);
            break;
        default:
            break;
    }
}

}  // namespace

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            ReleaseDisplay();
            PostQuitMessage(0);
            break;
        case WM_SETFOCUS:
        case WM_PAINT:
            DrawBoard();
            break;
        case WM_CLOSE:
        case WM_QUIT:
            QuitSequence();
        case WM_GETMINMAXINFO:
            ApplySizeRule(reinterpret_cast<MINMAXINFO*>(lParam));
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_F1) {
                OpenHelp();
            }
            break;
        case WM_CHAR:
            OnQuitKey(wParam);
            break;
        case WM_COMMAND:
            OnCommand(wParam);
            break;
        case WM_LBUTTONDOWN:
            ClearMarks();
            OnBoardClick();
            DrawBoard();
            break;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            // Returning 0 keeps this focus instead of the dialog manager's choice.
            SetFocus(GetDlgItem(dialog, IDOK));
            return 0;
        case WM_COMMAND:
            if (wParam == IDOK || wParam == IDCANCEL) {
                EndDialog(dialog, 0);
            }
            return 0;
        default:
            return 0;
    }
}
