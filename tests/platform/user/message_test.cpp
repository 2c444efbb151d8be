#include <gtest/gtest.h>

#include "tests/platform/user/support.h"

using support::seen;
namespace pt = platform_testing;

namespace {

bool Has(const std::vector<MSG>& got, HWND window, UINT message) {
    for (const MSG& m : got) {
        if (m.hwnd == window && m.message == message) return true;
    }
    return false;
}

TEST(Messages, TheWindowFilterTakesOnlyThatWindowsMessages) {
    HWND a = support::CreatePlainWindow("a");
    HWND b = support::CreatePlainWindow("b");
    support::PumpUntilIdle();
    PostMessageA(b, WM_USER, 2, 0);
    PostMessageA(a, WM_USER, 1, 0);
    MSG msg;
    ASSERT_TRUE(GetMessageA(&msg, a, 0, 0));
    EXPECT_EQ(msg.hwnd, a);
    EXPECT_EQ(msg.wParam, 1u);
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.hwnd, b);
    EXPECT_EQ(msg.wParam, 2u);
}

TEST(Messages, PaintComesOnExposeAfterEverythingElse) {
    HWND main = support::CreateMainWindow();
    support::PumpUntilIdle();
    pt::Expose(main);
    PostMessageA(main, WM_USER, 0, 0);
    auto got = support::PumpUntilIdle(main);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].message, static_cast<UINT>(WM_USER));
    EXPECT_EQ(got[1].message, static_cast<UINT>(WM_PAINT));
    // Default processing marked it painted: no second paint.
    EXPECT_TRUE(support::PumpUntilIdle(main).empty());
}

TEST(Messages, HostFocusChangesBecomeFocusMessages) {
    HWND main = support::CreateMainWindow();
    support::PumpUntilIdle();
    seen.clear();
    pt::FocusLost(main);
    support::PumpUntilIdle();
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(support::Count(main, WM_KILLFOCUS), 1);
    pt::FocusGained(main);
    support::PumpUntilIdle();
    EXPECT_EQ(GetFocus(), main);
    EXPECT_EQ(support::Count(main, WM_SETFOCUS), 1);
}

TEST(Messages, ClicksCarryClientCoordinatesAndTheCursorFollows) {
    HWND main = support::CreateMainWindow();
    support::PumpUntilIdle();
    pt::ClickClient(main, 123, 45);
    auto got = support::PumpUntilIdle(main);
    const MSG* down = nullptr;
    for (const MSG& m : got) {
        if (m.message == WM_LBUTTONDOWN) down = &m;
    }
    ASSERT_NE(down, nullptr);
    EXPECT_EQ(LOWORD(down->lParam), 123);
    EXPECT_EQ(HIWORD(down->lParam), 45);
    EXPECT_TRUE(Has(got, main, WM_LBUTTONUP));
    POINT cursor{};
    GetCursorPos(&cursor);
    POINT expected{123, 45};
    ClientToScreen(main, &expected);
    EXPECT_EQ(cursor.x, expected.x);
    EXPECT_EQ(cursor.y, expected.y);

    // A click on the menu bar's empty part is not a client click.
    RECT client{};
    GetClientRect(main, &client);
    pt::ClickClient(main, 590, -5);
    got = support::PumpUntilIdle(main);
    EXPECT_FALSE(Has(got, main, WM_LBUTTONDOWN));
}

TEST(Messages, TranslateMessageMakesTheCharactersTheGameReads) {
    HWND main = support::CreateMainWindow();
    support::PumpUntilIdle();
    struct Case {
        UINT vk;
        unsigned modifiers;
        const char* text;  // what the host's text input reports, if anything
        WPARAM expected;
    };
    const Case cases[] = {
        {'A', 0, "a", 'a'},
        {'A', pt::kShift, "A", 'A'},
        {'A', 0, nullptr, 'a'},
        {'Q', pt::kShift, nullptr, 'Q'},
        {VK_ESCAPE, 0, nullptr, 27},
        {'Q', pt::kControl, nullptr, 17},
        {VK_RETURN, 0, nullptr, 13},
        {VK_BACK, 0, nullptr, 8},
        {VK_TAB, 0, nullptr, 9},
        {'7', 0, "7", '7'},
        {0xBF, pt::kShift, nullptr, '?'},
    };
    for (const Case& c : cases) {
        pt::KeyDown(c.vk, c.modifiers, c.text);
        pt::KeyUp(c.vk, c.modifiers);
        auto got = support::PumpUntilIdle(main);
        std::vector<WPARAM> chars;
        bool keyDown = false;
        for (const MSG& m : got) {
            if (m.message == WM_CHAR) chars.push_back(m.wParam);
            if (m.message == WM_KEYDOWN && m.wParam == c.vk) keyDown = true;
        }
        EXPECT_TRUE(keyDown) << c.vk;
        ASSERT_EQ(chars.size(), 1u) << "key " << c.vk << " modifiers " << c.modifiers;
        EXPECT_EQ(chars[0], c.expected) << "key " << c.vk << " modifiers " << c.modifiers;
    }
}

TEST(Messages, AltKeysAreSystemKeysAndAltF4Closes) {
    HWND main = support::CreateMainWindow();
    support::PumpUntilIdle();
    seen.clear();
    pt::PressKey(VK_F4, pt::kAlt);
    auto got = support::PumpUntilIdle();
    EXPECT_TRUE(Has(got, main, WM_SYSKEYDOWN));
    EXPECT_FALSE(Has(got, main, WM_KEYDOWN));
    EXPECT_EQ(support::Count(main, WM_CLOSE), 1);
    EXPECT_FALSE(IsWindow(main));
}

TEST(Messages, TheCloseButtonReachesTheProcedureAsWmClose) {
    HWND main = support::CreateMainWindow();
    support::PumpUntilIdle();
    seen.clear();
    pt::RequestClose(main);
    support::PumpUntilIdle();
    EXPECT_EQ(support::Count(main, WM_CLOSE), 1);
    EXPECT_FALSE(IsWindow(main));
}

TEST(Messages, ADisabledWindowGetsPaintButNoInput) {
    HWND main = support::CreateMainWindow();
    support::PumpUntilIdle();
    EXPECT_FALSE(EnableWindow(main, FALSE));
    EXPECT_FALSE(IsWindowEnabled(main));
    seen.clear();
    pt::ClickClient(main, 10, 10);
    pt::PressKey('Q');
    pt::RequestClose(main);
    pt::Expose(main);
    support::PumpUntilIdle();
    EXPECT_EQ(support::Count(main, WM_PAINT), 1);
    EXPECT_EQ(support::Count(main, WM_LBUTTONDOWN), 0);
    EXPECT_EQ(support::Count(main, WM_KEYDOWN), 0);
    EXPECT_EQ(support::Count(main, WM_CHAR), 0);
    EXPECT_EQ(support::Count(main, WM_CLOSE), 0);
    EXPECT_TRUE(EnableWindow(main, TRUE));
    pt::ClickClient(main, 10, 10);
    support::PumpUntilIdle();
    EXPECT_EQ(support::Count(main, WM_LBUTTONDOWN), 1);
}

TEST(Messages, TheSessionsQuitRequestEndsTheMainLoop) {
    HWND main = support::CreateMainWindow();
    support::PumpUntilIdle();
    pt::RequestQuit();
    MSG msg;
    EXPECT_FALSE(GetMessageA(&msg, main, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
}

TEST(Messages, UpdateWindowPaintsAtOnceOnlyWhenNeeded) {
    HWND main = support::CreateMainWindow();
    support::PumpUntilIdle();
    seen.clear();
    UpdateWindow(main);
    EXPECT_EQ(support::Count(main, WM_PAINT), 0);
    pt::Expose(main);
    pt::SetIdleHook(nullptr);
    // Expose is seen once the loop pumps; UpdateWindow then paints synchronously.
    PostMessageA(main, WM_USER, 0, 0);
    MSG msg;
    ASSERT_TRUE(GetMessageA(&msg, main, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    UpdateWindow(main);
    EXPECT_EQ(support::Count(main, WM_PAINT), 1);
}

}  // namespace
