#include <gtest/gtest.h>

#include "tests/platform/user/support.h"

using support::seen;
namespace pt = platform_testing;

namespace {

std::vector<WPARAM> Commands(HWND window) {
    std::vector<WPARAM> ids;
    for (const auto& s : seen) {
        if (s.window == window && s.message == WM_COMMAND) {
            EXPECT_EQ(s.lParam, 0);
            ids.push_back(s.wParam);
        }
    }
    return ids;
}

TEST(Menu, CheckMenuItemReturnsThePreviousState) {
    HWND main = support::CreateMainWindow();
    HMENU menu = GetMenu(main);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(CheckMenuItem(menu, 40008, MF_BYCOMMAND | MF_CHECKED),
              static_cast<DWORD>(MF_UNCHECKED));
    EXPECT_EQ(CheckMenuItem(menu, 40008, MF_BYCOMMAND | MF_CHECKED),
              static_cast<DWORD>(MF_CHECKED));
    EXPECT_EQ(CheckMenuItem(menu, 40008, MF_BYCOMMAND | MF_UNCHECKED),
              static_cast<DWORD>(MF_CHECKED));
    EXPECT_EQ(CheckMenuItem(menu, 12345, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(-1));
    EXPECT_EQ(CheckMenuItem(reinterpret_cast<HMENU>(0x42), 40008, MF_CHECKED),
              static_cast<DWORD>(-1));
}

TEST(Menu, AMouseChoicePostsTheCommandAndRepaintsTheBoard) {
    HWND main = support::CreateMainWindow();
    support::PumpUntilIdle();
    // The board: a colour the drop-down is not.
    RECT client{};
    GetClientRect(main, &client);
    uint32_t under = 0, during = 0, after = 0;
    bool sawOpen = false;
    support::OnIdle([&](int step) {
        if (step == 0) {
            ASSERT_TRUE(pt::ClickMenuTitle(main, "Game"));
            return;
        }
        POINT item{};
        ASSERT_TRUE(pt::MenuItemScreenPoint(main, 40003, &item));
        if (step == 1) {
            sawOpen = pt::MenuOpen();
            pt::MovePointerScreen(item.x, item.y);
            return;
        }
        if (step == 2) {
            POINT origin{0, 0};
            ClientToScreen(main, &origin);
            pt::ReadClientPixel(main, item.x - origin.x, item.y - origin.y, &during);
            ASSERT_TRUE(pt::ClickScreen(item.x, item.y));
            return;
        }
        PostQuitMessage(0);
    });
    pt::ReadClientPixel(main, 20, 10, &under);
    seen.clear();
    MSG msg;
    while (GetMessageA(&msg, main, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    support::ClearIdle();
    pt::ReadClientPixel(main, 20, 10, &after);
    EXPECT_TRUE(sawOpen);
    EXPECT_EQ(during, 0x000080u) << "the item under the pointer is highlighted";
    EXPECT_EQ(after, under) << "the drop-down's pixels are gone";
    EXPECT_EQ(Commands(main), std::vector<WPARAM>{40003});
    EXPECT_GE(support::Count(main, WM_PAINT), 1);
    EXPECT_FALSE(pt::MenuOpen());
}

TEST(Menu, ChooseMenuItemDrivesTheWholeClickSequence) {
    HWND main = support::CreateMainWindow();
    support::PumpUntilIdle();
    seen.clear();
    ASSERT_TRUE(pt::ChooseMenuItem(main, 40002));
    support::PumpUntilIdle();
    EXPECT_EQ(Commands(main), std::vector<WPARAM>{40002});
}

struct KeyStep {
    UINT vk;
    unsigned modifiers;
};

std::vector<WPARAM> RunKeys(const std::vector<KeyStep>& keys) {
    HWND main = support::CreateMainWindow();
    support::PumpUntilIdle();
    seen.clear();
    for (const KeyStep& k : keys) pt::PressKey(k.vk, k.modifiers);
    support::PumpUntilIdle();
    EXPECT_FALSE(pt::MenuOpen());
    std::vector<WPARAM> ids = Commands(main);
    DestroyWindow(main);
    return ids;
}

TEST(Menu, TheKeyboardReachesEveryCommand) {
    struct Case {
        const char* name;
        std::vector<KeyStep> keys;
        std::vector<WPARAM> expected;
    };
    const Case cases[] = {
        {"Alt+G then N", {{'G', pt::kAlt}, {'N', 0}}, {40003}},
        {"Alt+G then Alt+X", {{'G', pt::kAlt}, {'X', pt::kAlt}}, {40004}},
        {"F10, Down, Down, Enter",
         {{VK_F10, 0}, {VK_DOWN, 0}, {VK_DOWN, 0}, {VK_RETURN, 0}},
         {40008}},
        {"F10, Right, Enter, Up, Enter",
         {{VK_F10, 0}, {VK_RIGHT, 0}, {VK_RETURN, 0}, {VK_UP, 0}, {VK_RETURN, 0}},
         {40001}},
        {"Alt+H then Left, Enter", {{'H', pt::kAlt}, {VK_LEFT, 0}, {VK_RETURN, 0}}, {40003}},
        {"Alt+G then Esc, Esc", {{'G', pt::kAlt}, {VK_ESCAPE, 0}, {VK_ESCAPE, 0}}, {}},
        {"F10 then F10", {{VK_F10, 0}, {VK_F10, 0}}, {}},
        {"Alt+Z opens nothing", {{'Z', pt::kAlt}, {VK_RETURN, 0}}, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RunKeys(c.keys), c.expected) << c.name;
    }
}

TEST(Menu, ACheckedItemShowsItsMark) {
    HWND main = support::CreateMainWindow();
    support::PumpUntilIdle();
    auto darkInCheckColumn = [&] {
        int title = 0;
        POINT item{};
        pt::MenuItemScreenPoint(main, 40008, &item);
        (void)title;
        int wx = 0, wy = 0;
        POINT origin{0, 0};
        ClientToScreen(main, &origin);
        (void)wx;
        (void)wy;
        int dark = 0;
        for (int x = 0; x < 18; ++x) {
            for (int y = -6; y <= 6; ++y) {
                uint32_t p = 0;
                // Framebuffer coordinates: the client origin is below the bar.
                if (pt::ReadFramePixel(main, 3 + x,
                                       item.y - origin.y + GetSystemMetrics(SM_CYMENU) + y, &p) &&
                    p == 0) {
                    ++dark;
                }
            }
        }
        return dark;
    };
    int unchecked = -1, checked = -1;
    support::OnIdle([&](int step) {
        if (step == 0) {
            pt::PressKey('G', pt::kAlt);
        } else if (step == 1) {
            unchecked = darkInCheckColumn();
            pt::PressKey(VK_ESCAPE);
            pt::PressKey(VK_ESCAPE);
        } else if (step == 2) {
            CheckMenuItem(GetMenu(main), 40008, MF_CHECKED);
            pt::PressKey('G', pt::kAlt);
        } else if (step == 3) {
            checked = darkInCheckColumn();
            pt::PressKey(VK_ESCAPE);
            pt::PressKey(VK_ESCAPE);
        } else {
            PostQuitMessage(0);
        }
    });
    MSG msg;
    while (GetMessageA(&msg, main, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    support::ClearIdle();
    EXPECT_EQ(unchecked, 0);
    EXPECT_GT(checked, 5);
}

}  // namespace
