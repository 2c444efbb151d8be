#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/platform/user/support.h"

using support::seen;
namespace pt = platform_testing;

namespace {

enum class Answer { Enter, Escape, Y, N, TabEnter, Space, ClickYes, ClickNo, ClickOk, Close };

void Give(Answer answer) {
    switch (answer) {
        case Answer::Enter:
            pt::PressKey(VK_RETURN);
            break;
        case Answer::Escape:
            pt::PressKey(VK_ESCAPE);
            break;
        case Answer::Y:
            pt::PressKey('Y');
            break;
        case Answer::N:
            pt::PressKey('N');
            break;
        case Answer::TabEnter:
            pt::PressKey(VK_TAB);
            pt::PressKey(VK_RETURN);
            break;
        case Answer::Space:
            pt::PressKey(VK_SPACE);
            break;
        case Answer::ClickYes:
            EXPECT_TRUE(pt::ClickMessageBoxButton(IDYES));
            break;
        case Answer::ClickNo:
            EXPECT_TRUE(pt::ClickMessageBoxButton(IDNO));
            break;
        case Answer::ClickOk:
            EXPECT_TRUE(pt::ClickMessageBoxButton(IDOK));
            break;
        case Answer::Close:
            pt::RequestClose(pt::ActiveModalWindow());
            break;
    }
}

TEST(MessageBox, EveryKeyAndButtonGivesItsAnswer) {
    struct Case {
        UINT type;
        Answer answer;
        int expected;
    };
    const Case cases[] = {
        {MB_YESNO | MB_ICONQUESTION, Answer::Enter, IDYES},
        {MB_YESNO | MB_ICONQUESTION, Answer::Escape, IDNO},
        {MB_YESNO | MB_ICONQUESTION, Answer::Y, IDYES},
        {MB_YESNO | MB_ICONQUESTION, Answer::N, IDNO},
        {MB_YESNO | MB_ICONQUESTION, Answer::TabEnter, IDNO},
        {MB_YESNO | MB_ICONQUESTION, Answer::Space, IDYES},
        {MB_YESNO | MB_ICONQUESTION, Answer::ClickYes, IDYES},
        {MB_YESNO | MB_ICONQUESTION, Answer::ClickNo, IDNO},
        {MB_YESNO | MB_ICONQUESTION, Answer::Close, IDNO},
        {MB_OK, Answer::Enter, IDOK},
        {MB_OK, Answer::Escape, IDOK},
        {MB_OK, Answer::ClickOk, IDOK},
        {MB_OK, Answer::Close, IDOK},
    };
    HWND main = support::CreateMainWindow();
    support::PumpUntilIdle();
    for (const Case& c : cases) {
        HWND box = nullptr;
        bool ownerDisabled = false;
        support::OnIdle([&](int step) {
            if (step == 0) {
                box = pt::ActiveModalWindow();
                ownerDisabled = !IsWindowEnabled(main);
                Give(c.answer);
            }
        });
        seen.clear();
        const int result = MessageBoxA(main, "Quit ?", "Tumbla", c.type);
        support::ClearIdle();
        EXPECT_EQ(result, c.expected)
            << "type " << c.type << " answer " << static_cast<int>(c.answer);
        EXPECT_NE(box, nullptr);
        EXPECT_TRUE(ownerDisabled);
        EXPECT_FALSE(IsWindow(box));
        EXPECT_TRUE(IsWindowEnabled(main));
        EXPECT_EQ(GetFocus(), main);
        EXPECT_GE(support::Count(main, WM_SETFOCUS), 1)
            << "the owner is told it has the focus back";
        EXPECT_EQ(support::Count(main, WM_LBUTTONDOWN), 0);
        EXPECT_EQ(support::Count(main, WM_KEYDOWN), 0);
        EXPECT_EQ(pt::ActiveModalWindow(), nullptr);
    }
    // Nothing meant for the box leaks to the owner afterwards.
    seen.clear();
    support::PumpUntilIdle();
    EXPECT_EQ(support::Count(main, WM_CHAR), 0);
    EXPECT_EQ(support::Count(main, WM_KEYDOWN), 0);
}

TEST(MessageBox, TheOwnerKeepsPaintingAndLosesItsInputMeanwhile) {
    HWND main = support::CreateMainWindow();
    support::PumpUntilIdle();
    std::string caption;
    uint32_t face = 0, icon = 0;
    support::OnIdle([&](int step) {
        HWND box = pt::ActiveModalWindow();
        if (step == 0) {
            caption = pt::HostTitle(box);
            pt::ReadClientPixel(box, 2, 2, &face);
            // The question mark's bubble is white around its middle.
            pt::ReadClientPixel(box, 12 + 4, 12 + 14, &icon);
            pt::Expose(main);
            pt::ClickClient(main, 50, 50);
            pt::PressKey('Q', 0, main);
        } else if (step == 1) {
            pt::PressKey('N');
        }
    });
    seen.clear();
    EXPECT_EQ(MessageBoxA(main, "Game Over - Play again ?", "Tumbla", MB_YESNO | MB_ICONQUESTION),
              IDNO);
    support::ClearIdle();
    EXPECT_EQ(caption, "Tumbla");
    EXPECT_EQ(face, 0xC0C0C0u);
    EXPECT_EQ(icon, 0xFFFFFFu);
    EXPECT_GE(support::Count(main, WM_PAINT), 1);
    EXPECT_EQ(support::Count(main, WM_LBUTTONDOWN), 0);
    EXPECT_EQ(support::Count(main, WM_CHAR), 0);
}

TEST(MessageBox, AQuitRequestEndsTheBoxAndReachesTheMainLoop) {
    HWND main = support::CreateMainWindow();
    support::PumpUntilIdle();
    support::OnIdle([](int step) {
        if (step == 0) pt::RequestQuit();
    });
    EXPECT_EQ(MessageBoxA(main, "Quit ?", "Tumbla", MB_YESNO), IDNO);
    support::ClearIdle();
    MSG msg;
    EXPECT_FALSE(GetMessageA(&msg, main, 0, 0));
}

TEST(MessageBox, WithoutADisplayItReturnsZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            unsetenv("TUMBLA_HEADLESS");
            setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            const int result = MessageBoxA(nullptr, "DirectDraw Init FAILED", "Tumbla", MB_OK);
            std::exit(result == 0 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
