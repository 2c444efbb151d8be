#include <gtest/gtest.h>

#include <cstring>

#include "display/sprite_sheet.h"
#include "rules/board.h"
#include "shell/app.h"
#include "shell/sound.h"
#include "tests/shell/fake_world.h"

namespace {

HINSTANCE const instance = reinterpret_cast<HINSTANCE>(0x700);

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override { ResetShellFakes(); }

    // The log of one message handled by the main window.
    std::vector<std::string> Handle(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        mainWindow = theWindow;
        shellFakes.log.clear();
        MainWndProc(theWindow, message, wParam, lParam);
        return shellFakes.log;
    }
};

using Log = std::vector<std::string>;

TEST_F(ShellTest, StartUpRunsInOrder) {
    gameState.points = 77;
    EXPECT_EQ(WinMain(instance, nullptr, const_cast<char*>("ignored"), 5), 0);
    const Log expected = {
        "EnsureScoreFile",
        "LoadImageA IDI_ICON1 1 0 0 64",
        "LoadCursorA 32512",
        "RegisterClassA",
        "CreateWindowExA 0 Tumbla Tumbla 0xA0000 -2147483648 -2147483648 300 300 (nil) (nil) (nil)",
        "CreateDirectDraw",
        "ShowWindow 5",
        "UpdateWindow",
        "CreateSurfaces",
        "GetPrivateProfileStringA Options Sounds FALSE 80 Tumbla.ini",
        "CheckMenuItem 40008 0",
        "LoadSpriteSheet IDB_TUMBLA 0 0",
        "NewGame",
        "DrawBoard",
        "GetMessageA",
        "DestroyWindow",
    };
    EXPECT_EQ(shellFakes.log, expected);
    EXPECT_EQ(appInstance, instance);
    EXPECT_EQ(mainWindow, theWindow);
    EXPECT_STREQ(spriteSheetName, "IDB_TUMBLA");
    EXPECT_EQ(gameState.points, 0);

    const WNDCLASSA& c = shellFakes.registered;
    EXPECT_EQ(c.style, 3u);
    EXPECT_EQ(c.lpfnWndProc, MainWndProc);
    EXPECT_EQ(c.hInstance, instance);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(c.hbrBackground), 6u);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(c.lpszMenuName), 101u);
    EXPECT_STREQ(c.lpszClassName, "Tumbla");
    EXPECT_EQ(c.cbClsExtra, 0);
    EXPECT_EQ(c.cbWndExtra, 0);
}

TEST_F(ShellTest, DisplayFailuresEndStartUpWithOneMessage) {
    const struct {
        const char* failing;
        const char* lastStepBefore;
        bool shown;
    } cases[] = {
        {"DirectDraw", "CreateDirectDraw", false},
        {"surfaces", "CreateSurfaces", true},
        {"backbuffer", "CreateSurfaces", true},
        {"sheet", "LoadSpriteSheet IDB_TUMBLA 0 0", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failing);
        ResetShellFakes();
        shellFakes.failing = c.failing;
        EXPECT_EQ(WinMain(instance, nullptr, nullptr, 1), 0);
        const Log& log = shellFakes.log;
        auto at = std::find(log.begin(), log.end(), c.lastStepBefore);
        ASSERT_NE(at, log.end());
        const Log tail(at + 1, log.end());
        EXPECT_EQ(tail, (Log{"ReleaseDisplay", "MessageBoxA DirectDraw Init FAILED|Tumbla|0",
                             "DestroyWindow"}));
        EXPECT_EQ(std::count(log.begin(), log.end(), "ShowWindow 1"), c.shown ? 1 : 0);
    }
}

TEST_F(ShellTest, NoWindowMeansNothingShown) {
    shellFakes.failing = "window";
    EXPECT_EQ(WinMain(instance, nullptr, nullptr, 1), 0);
    EXPECT_EQ(shellFakes.log.back().rfind("CreateWindowExA", 0), 0u);
}

TEST_F(ShellTest, MessageRouting) {
    const struct {
        UINT message;
        WPARAM wParam;
        Log expected;
    } cases[] = {
        {WM_DESTROY, 0, {"ReleaseDisplay", "PostQuitMessage 0", "DefWindowProcA 2"}},
        {WM_SETFOCUS, 0, {"DrawBoard", "DefWindowProcA 7"}},
        {WM_PAINT, 0, {"DrawBoard", "DefWindowProcA 15"}},
        {WM_KEYDOWN, VK_F1, {"WinHelpA TUMBLA.HLP 3 0", "DefWindowProcA 256"}},
        {WM_KEYDOWN, VK_F1 | 0x10000, {"DefWindowProcA 256"}},
        {WM_KEYDOWN, VK_ESCAPE, {"DefWindowProcA 256"}},
        {WM_LBUTTONDOWN, 0, {"ClearMarks", "OnBoardClick", "DrawBoard", "DefWindowProcA 513"}},
        {WM_MOUSEMOVE, 0, {"DefWindowProcA 512"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Handle(c.message, c.wParam), c.expected) << c.message;
    }
}

TEST_F(ShellTest, SizeRuleGivesAClientAreaOfExactlyTheBoard) {
    shellFakes.metrics[SM_CXDLGFRAME] = 3;
    shellFakes.metrics[SM_CYDLGFRAME] = 4;
    shellFakes.metrics[SM_CYCAPTION] = 19;
    shellFakes.metrics[SM_CYMENU] = 20;
    MINMAXINFO info;
    std::memset(&info, 0x5A, sizeof(info));
    mainWindow = nullptr;  // the first request comes during creation
    shellFakes.log.clear();
    EXPECT_EQ(MainWndProc(theWindow, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(info.ptMinTrackSize.x, 606);
    EXPECT_EQ(info.ptMinTrackSize.y, 400 + 19 + 8 + 20);
    EXPECT_EQ(info.ptMaxTrackSize.x, 0x5A5A5A5A);
    EXPECT_EQ(info.ptMaxSize.y, 0x5A5A5A5A);
    EXPECT_TRUE(shellFakes.log.empty());
}

TEST_F(ShellTest, QuitKeysAskAndNoChangesNothing) {
    shellFakes.messageBoxAnswer = IDNO;
    const Log asked = {"MessageBoxA Quit ?|Tumbla|36", "DefWindowProcA 258"};
    const Log ignored = {"DefWindowProcA 258"};
    const struct {
        WPARAM character;
        bool asks;
    } cases[] = {{'q', true}, {'Q', true},  {27, true},   {'q' | 0x100, true},
                 {17, false}, {'a', false}, {'w', false}, {0xF1, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(Handle(WM_CHAR, c.character), c.asks ? asked : ignored) << c.character;
    }
    // A box that could not be shown answers 0: not Yes, so nothing happens.
    shellFakes.messageBoxAnswer = 0;
    EXPECT_EQ(Handle(WM_CHAR, 'q'), asked);
}

TEST_F(ShellTest, MenuCommands) {
    shellFakes.iniValue = "FALSE";
    const struct {
        WPARAM command;
        Log expected;
    } cases[] = {
        {40001, {"WinHelpA TUMBLA.HLP 3 0", "DefWindowProcA 273"}},
        {40002, {"DialogBoxParamA 104 about 0", "DefWindowProcA 273"}},
        {40003, {"NewGame", "ClearMarks", "DrawBoard", "DefWindowProcA 273"}},
        {40005, {"OpenScoreFile", "ShowHighScores", "DefWindowProcA 273"}},
        {0x10000 | 40003, {"DefWindowProcA 273"}},
        {40006, {"DefWindowProcA 273"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Handle(WM_COMMAND, c.command), c.expected) << c.command;
    }
}

void QuitFrom(UINT message, WPARAM wParam, int answer) {
    ResetShellFakes();
    shellFakes.echo = true;
    shellFakes.messageBoxAnswer = answer;
    mainWindow = theWindow;
    MainWndProc(theWindow, message, wParam, 0);
    shellFakes.Add("returned");
}

TEST(ShellDeathTest, EveryWayOutEndsWithCodeZeroAfterDestroyingTheWindow) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const char* const destroyedThenGone = "\\[DestroyWindow\\]\n$";
    EXPECT_EXIT(QuitFrom(WM_CLOSE, 0, IDNO), ::testing::ExitedWithCode(0), destroyedThenGone);
    EXPECT_EXIT(QuitFrom(WM_COMMAND, 40004, IDNO), ::testing::ExitedWithCode(0),
                "SendMessageA 18\\]\n\\[DestroyWindow\\]\n$");
    EXPECT_EXIT(QuitFrom(WM_CHAR, 27, IDYES), ::testing::ExitedWithCode(0),
                "Quit \\?\\|Tumbla\\|36\\]\n\\[SendMessageA 18\\]\n\\[DestroyWindow\\]\n$");
    EXPECT_EXIT(QuitFrom(WM_CHAR, 'Q', IDYES), ::testing::ExitedWithCode(0), destroyedThenGone);
}

TEST_F(ShellTest, AboutDialogClosesOnOkEnterOrEsc) {
    HWND dialog = reinterpret_cast<HWND>(0x900);
    EXPECT_EQ(AboutDlgProc(dialog, WM_INITDIALOG, 0, 0), 0);
    EXPECT_EQ(shellFakes.log, (Log{"GetDlgItem 1", "SetFocus ok"}));
    for (WPARAM command : {1, 2}) {
        shellFakes.log.clear();
        EXPECT_EQ(AboutDlgProc(dialog, WM_COMMAND, command, 0), 0);
        EXPECT_EQ(shellFakes.log, Log{"EndDialog 0"});
    }
    for (WPARAM command : {3, 0x10001}) {
        shellFakes.log.clear();
        EXPECT_EQ(AboutDlgProc(dialog, WM_COMMAND, command, 0), 0);
        EXPECT_TRUE(shellFakes.log.empty());
    }
    EXPECT_EQ(AboutDlgProc(dialog, WM_PAINT, 0, 0), 0);
}

TEST_F(ShellTest, SoundSettingIsOnOnlyForTheExactText) {
    const struct {
        const char* stored;
        bool on;
    } cases[] = {{"TRUE", true},       {"true", false},  {"1", false},    {"", false},
                 {"<missing>", false}, {"TRUE ", false}, {"FALSE", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        ResetShellFakes();
        mainWindow = theWindow;
        shellFakes.iniValue = c.stored;
        LoadSoundSetting();
        EXPECT_EQ(shellFakes.lastCheck, c.on ? static_cast<UINT>(MF_CHECKED) : MF_UNCHECKED);
        shellFakes.log.clear();
        PlayExplodeSound();
        EXPECT_EQ(shellFakes.log.size(), c.on ? 1u : 0u);
        PlayApplauseSound();
        EXPECT_EQ(shellFakes.log.back(), "PlaySoundA IDR_APPLAUSE 262149");
    }
}

TEST_F(ShellTest, ToggleFlipsOnlyFromTheExactOffText) {
    mainWindow = theWindow;
    shellFakes.iniValue = "true";
    LoadSoundSetting();
    // Anything but "FALSE" turns off first.
    ToggleSounds(theWindow);
    EXPECT_STREQ(soundsValue, "FALSE");
    EXPECT_EQ(shellFakes.lastCheck, static_cast<UINT>(MF_UNCHECKED));
    EXPECT_EQ(shellFakes.log.back(), "WritePrivateProfileStringA Options Sounds FALSE Tumbla.ini");
    ToggleSounds(theWindow);
    EXPECT_STREQ(soundsValue, "TRUE");
    EXPECT_EQ(shellFakes.lastCheck, static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(shellFakes.iniWritten, "TRUE");
    shellFakes.log.clear();
    PlayExplodeSound();
    EXPECT_EQ(shellFakes.log, Log{"PlaySoundA IDR_EXPLODE 262149"});
    // The menu command does the same.
    EXPECT_EQ(
        Handle(WM_COMMAND, 40008),
        (Log{"CheckMenuItem 40008 0", "WritePrivateProfileStringA Options Sounds FALSE Tumbla.ini",
             "DefWindowProcA 273"}));
}

}  // namespace
