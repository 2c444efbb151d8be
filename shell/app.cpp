#include "shell/app.h"

#include <cstring>

#include "display/display.h"
#include "display/sprite_sheet.h"
#include "resources/resource.h"
#include "rules/board.h"
#include "scores/score_file.h"
#include "shell/sound.h"

HINSTANCE appInstance = nullptr;
HWND mainWindow = nullptr;

namespace {

const int BOARD_WIDTH = BOARD_COLUMNS * CELL_WIDTH;
const int BOARD_HEIGHT = BOARD_ROWS * CELL_HEIGHT;

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    appInstance = instance;
    EnsureScoreFile();
    if (!InitApplication(instance, showCommand)) {
        return 0;
    }
    // Only a quit message from outside ends this loop; the game itself ends
    // inside the window procedure. A fetch error ends it too rather than spin.
    MSG message;
    while (GetMessageA(&message, mainWindow, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DestroyWindow(mainWindow);
    return 0;
}

BOOL InitApplication(HINSTANCE instance, int showCommand) {
    WNDCLASSA windowClass;
    std::memset(&windowClass, 0, sizeof(windowClass));
    windowClass.hIcon =
        static_cast<HICON>(LoadImageA(appInstance, "IDI_ICON1", IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDR_MENU);
    windowClass.lpszClassName = "Tumbla";
    RegisterClassA(&windowClass);

    mainWindow = CreateWindowExA(0, "Tumbla", "Tumbla", WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, 300, 300, nullptr, nullptr, instance, nullptr);
    if (mainWindow == nullptr) {
        return 0;
    }
    std::strcpy(spriteSheetName, "IDB_TUMBLA");

    if (!CreateDirectDraw()) {
        return DisplayInitFailed(mainWindow);
    }
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);
    // Without a back buffer nothing could ever be shown and no move would
    // work, so it counts as a failed display like the others.
    if (!CreateSurfaces() || backBuffer == nullptr) {
        return DisplayInitFailed(mainWindow);
    }
    LoadSoundSetting();
    spriteSheet = LoadSpriteSheet(directDraw, spriteSheetName, 0, 0);
    if (spriteSheet == nullptr) {
        return DisplayInitFailed(mainWindow);
    }
    gameState.points = 0;
    NewGame();
    DrawBoard();
    return 1;
}

BOOL DisplayInitFailed(HWND window) {
    ReleaseDisplay();
    MessageBoxA(window, "DirectDraw Init FAILED", "Tumbla", MB_OK);
    DestroyWindow(window);
    return 0;
}

// The frame, title bar and menu bar around a client area that holds the
// board exactly.
void ApplySizeRule(MINMAXINFO* info) {
    info->ptMinTrackSize.x = BOARD_WIDTH + 2 * GetSystemMetrics(SM_CXDLGFRAME);
    info->ptMinTrackSize.y = BOARD_HEIGHT + GetSystemMetrics(SM_CYCAPTION) +
                             2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYMENU);
}
