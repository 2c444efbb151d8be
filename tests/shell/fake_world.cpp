#include "tests/shell/fake_world.h"

#include <cstdio>
#include <cstring>

#include "display/display.h"
#include "display/sprite_sheet.h"
#include "rules/board.h"
#include "scores/high_scores.h"
#include "scores/score_file.h"
#include "shell/app.h"

ShellFakes shellFakes;
HWND const theWindow = reinterpret_cast<HWND>(0x100);

GameState gameState;
LPDIRECTDRAW directDraw = nullptr;
LPDIRECTDRAWSURFACE backBuffer = nullptr;
LPDIRECTDRAWSURFACE spriteSheet = nullptr;
char spriteSheetName[80];

namespace {
// Never dereferenced: stands for a created surface.
LPDIRECTDRAWSURFACE const aSurface = reinterpret_cast<LPDIRECTDRAWSURFACE>(0x200);
HMENU const theMenu = reinterpret_cast<HMENU>(0x300);
HWND const okButton = reinterpret_cast<HWND>(0x400);
}  // namespace

void ShellFakes::Add(const std::string& entry) {
    log.push_back(entry);
    if (echo) std::fprintf(stderr, "[%s]\n", entry.c_str());
}

void ResetShellFakes() {
    shellFakes = ShellFakes();
    shellFakes.iniValue = "<missing>";
    gameState = GameState();
    backBuffer = nullptr;
    spriteSheet = nullptr;
    directDraw = nullptr;
    std::memset(spriteSheetName, 0, sizeof(spriteSheetName));
    mainWindow = nullptr;
    appInstance = nullptr;
}

// The rest of the game.
void EnsureScoreFile() { shellFakes.Add("EnsureScoreFile"); }
void OpenScoreFile() { shellFakes.Add("OpenScoreFile"); }
void ShowHighScores() { shellFakes.Add("ShowHighScores"); }
BOOL CreateDirectDraw() {
    shellFakes.Add("CreateDirectDraw");
    return shellFakes.failing != "DirectDraw";
}
BOOL CreateSurfaces() {
    shellFakes.Add("CreateSurfaces");
    if (shellFakes.failing != "backbuffer") backBuffer = aSurface;
    return shellFakes.failing != "surfaces";
}
LPDIRECTDRAWSURFACE LoadSpriteSheet(LPDIRECTDRAW, LPCSTR name, int width, int height) {
    shellFakes.Add(std::string("LoadSpriteSheet ") + name + " " + std::to_string(width) + " " +
                   std::to_string(height));
    return shellFakes.failing == "sheet" ? nullptr : aSurface;
}
void ReleaseDisplay() { shellFakes.Add("ReleaseDisplay"); }
void DrawBoard() { shellFakes.Add("DrawBoard"); }
void NewGame() { shellFakes.Add("NewGame"); }
void ClearMarks() { shellFakes.Add("ClearMarks"); }
void OnBoardClick() { shellFakes.Add("OnBoardClick"); }

// The platform.
HANDLE WINAPI LoadImageA(HINSTANCE, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
    shellFakes.Add(std::string("LoadImageA ") + name + " " + std::to_string(type) + " " +
                   std::to_string(cx) + " " + std::to_string(cy) + " " + std::to_string(flags));
    return reinterpret_cast<HANDLE>(0x500);
}
HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
    shellFakes.Add(std::string("LoadCursorA ") + (instance == nullptr ? "" : "? ") +
                   std::to_string(reinterpret_cast<uintptr_t>(name)));
    return reinterpret_cast<HCURSOR>(0x600);
}
ATOM WINAPI RegisterClassA(const WNDCLASSA* windowClass) {
    shellFakes.Add("RegisterClassA");
    shellFakes.registered = *windowClass;
    return 1;
}
HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu, HINSTANCE,
                            LPVOID param) {
    char text[200];
    std::snprintf(text, sizeof(text), "CreateWindowExA %lu %s %s 0x%lX %d %d %d %d %p %p %p",
                  static_cast<unsigned long>(exStyle), className, title,
                  static_cast<unsigned long>(style), x, y, width, height,
                  static_cast<void*>(parent), static_cast<void*>(menu), param);
    shellFakes.Add(text);
    return shellFakes.failing == "window" ? nullptr : theWindow;
}
BOOL WINAPI ShowWindow(HWND, int command) {
    shellFakes.Add("ShowWindow " + std::to_string(command));
    return TRUE;
}
BOOL WINAPI UpdateWindow(HWND) {
    shellFakes.Add("UpdateWindow");
    return TRUE;
}
BOOL WINAPI DestroyWindow(HWND window) {
    shellFakes.Add(window == theWindow ? "DestroyWindow" : "DestroyWindow ?");
    return TRUE;
}
BOOL WINAPI GetMessageA(LPMSG, HWND window, UINT low, UINT high) {
    shellFakes.Add(std::string("GetMessageA") + (window == theWindow ? "" : " ?") +
                   (low == 0 && high == 0 ? "" : " range"));
    return 0;
}
BOOL WINAPI TranslateMessage(const MSG*) { return FALSE; }
LRESULT WINAPI DispatchMessageA(const MSG*) { return 0; }
LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    shellFakes.Add("SendMessageA " + std::to_string(message));
    return MainWndProc(window, message, wParam, lParam);
}
void WINAPI PostQuitMessage(int code) { shellFakes.Add("PostQuitMessage " + std::to_string(code)); }
LRESULT WINAPI DefWindowProcA(HWND, UINT message, WPARAM, LPARAM) {
    shellFakes.Add("DefWindowProcA " + std::to_string(message));
    return 0;
}
int WINAPI GetSystemMetrics(int index) { return shellFakes.metrics[index]; }
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    shellFakes.Add(std::string("MessageBoxA ") + (owner == theWindow ? "" : "? ") + text + "|" +
                   caption + "|" + std::to_string(type));
    return shellFakes.messageBoxAnswer;
}
INT_PTR WINAPI DialogBoxParamA(HINSTANCE, LPCSTR name, HWND owner, DLGPROC proc, LPARAM init) {
    shellFakes.Add("DialogBoxParamA " + std::to_string(reinterpret_cast<uintptr_t>(name)) +
                   (owner == theWindow ? "" : " ?") + (proc == AboutDlgProc ? " about" : " ?") +
                   " " + std::to_string(init));
    return 0;
}
BOOL WINAPI EndDialog(HWND, INT_PTR result) {
    shellFakes.Add("EndDialog " + std::to_string(result));
    return TRUE;
}
HWND WINAPI GetDlgItem(HWND, int id) {
    shellFakes.Add("GetDlgItem " + std::to_string(id));
    return okButton;
}
HWND WINAPI SetFocus(HWND window) {
    shellFakes.Add(window == okButton ? "SetFocus ok" : "SetFocus ?");
    return nullptr;
}
BOOL WINAPI WinHelpA(HWND window, LPCSTR file, UINT command, ULONG_PTR data) {
    shellFakes.Add(std::string("WinHelpA ") + (window == theWindow ? "" : "? ") + file + " " +
                   std::to_string(command) + " " + std::to_string(data));
    return TRUE;
}
HMENU WINAPI GetMenu(HWND) { return theMenu; }
DWORD WINAPI CheckMenuItem(HMENU menu, UINT item, UINT check) {
    shellFakes.Add("CheckMenuItem " + std::to_string(item) + " " + std::to_string(check) +
                   (menu == theMenu ? "" : " ?"));
    shellFakes.lastCheck = check;
    return 0;
}
DWORD WINAPI GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR out,
                                      DWORD size, LPCSTR file) {
    shellFakes.Add(std::string("GetPrivateProfileStringA ") + section + " " + key + " " +
                   defaultValue + " " + std::to_string(size) + " " + file);
    const std::string value =
        shellFakes.iniValue == "<missing>" ? defaultValue : shellFakes.iniValue;
    std::snprintf(out, size, "%s", value.c_str());
    return static_cast<DWORD>(std::strlen(out));
}
BOOL WINAPI WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
    shellFakes.Add(std::string("WritePrivateProfileStringA ") + section + " " + key + " " + value +
                   " " + file);
    shellFakes.iniWritten = value;
    return TRUE;
}
BOOL WINAPI PlaySoundA(LPCSTR name, HMODULE module, DWORD flags) {
    shellFakes.Add(std::string("PlaySoundA ") + name + (module == appInstance ? "" : " ?") + " " +
                   std::to_string(flags));
    return TRUE;
}
