#include <gtest/gtest.h>

#include "platform/user/client_area.h"
#include "tests/platform/user/support.h"

using support::seen;

namespace {

size_t IndexOf(HWND window, UINT message) {
    for (size_t i = 0; i < seen.size(); ++i) {
        if (seen[i].window == window && seen[i].message == message) return i;
    }
    return seen.size();
}

TEST(Window, TheSizeRuleGivesA600By400ClientAreaBelowTheMenuBar) {
    EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 0);
    EXPECT_EQ(GetSystemMetrics(SM_CXDLGFRAME), 0);
    EXPECT_EQ(GetSystemMetrics(SM_CYDLGFRAME), 0);
    const int bar = GetSystemMetrics(SM_CYMENU);
    EXPECT_GT(bar, 0);
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);

    HWND main = support::CreateMainWindow();
    ASSERT_TRUE(IsWindow(main));
    // The size rule is asked before the window exists for the procedure.
    EXPECT_LT(IndexOf(main, WM_GETMINMAXINFO), IndexOf(main, WM_CREATE));
    RECT client{};
    ASSERT_TRUE(GetClientRect(main, &client));
    EXPECT_EQ(client.right, 600);
    EXPECT_EQ(client.bottom, 400);
    ASSERT_NE(GetMenu(main), nullptr);

    ClientArea area{};
    ASSERT_TRUE(LockClientArea(main, &area));
    EXPECT_EQ(area.width, 600);
    EXPECT_EQ(area.height, 400);
    POINT origin{0, 0};
    ClientToScreen(main, &origin);
    EXPECT_EQ(area.origin.x, origin.x);
    EXPECT_EQ(area.origin.y, origin.y);
    // Pixels written through the client area land below the menu bar and
    // nowhere else.
    area.pixels[0] = 0xFF0000;
    area.pixels[399 * area.pitch + 599] = 0x00FF00;
    RECT changed{0, 0, 600, 400};
    UnlockClientArea(main, &changed);
    uint32_t pixel = 0;
    ASSERT_TRUE(platform_testing::ReadFramePixel(main, 0, bar, &pixel));
    EXPECT_EQ(pixel, 0xFF0000u);
    ASSERT_TRUE(platform_testing::ReadClientPixel(main, 599, 399, &pixel));
    EXPECT_EQ(pixel, 0x00FF00u);
    ASSERT_TRUE(platform_testing::ReadFramePixel(main, 0, bar - 1, &pixel));
    EXPECT_NE(pixel, 0xFF0000u);
    EXPECT_FALSE(platform_testing::ReadClientPixel(main, 600, 0, &pixel));

    // Screen coordinates: the window's position plus the menu bar.
    POINT p{5, 7};
    ClientToScreen(main, &p);
    EXPECT_EQ(p.x, origin.x + 5);
    EXPECT_EQ(p.y, origin.y + 7);
    EXPECT_TRUE(DisplayAvailable());
}

TEST(Window, ClientAreaOfHiddenOrUnknownWindowsIsRefused) {
    WNDCLASSA cls{};
    cls.lpfnWndProc = support::RecordingProc;
    cls.lpszClassName = "Hidden";
    RegisterClassA(&cls);
    HWND hidden =
        CreateWindowExA(0, "HIDDEN", "", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hidden, nullptr);
    ClientArea area{};
    EXPECT_FALSE(LockClientArea(hidden, &area));
    EXPECT_FALSE(LockClientArea(reinterpret_cast<HWND>(0x1234), &area));
    EXPECT_EQ(
        CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
        nullptr);
}

TEST(Window, TitleGoesToTheHost) {
    HWND main = support::CreateMainWindow();
    EXPECT_EQ(platform_testing::HostTitle(main), "Tumbla");
    ASSERT_TRUE(SetWindowTextA(main, "Tumbla - 120 points"));
    EXPECT_EQ(platform_testing::HostTitle(main), "Tumbla - 120 points");
    char text[8];
    EXPECT_EQ(GetWindowTextA(main, text, sizeof text), 7);
    EXPECT_STREQ(text, "Tumbla ");
    EXPECT_EQ(platform_testing::FindTopLevel("Tumbla - 120 points"), main);
}

TEST(Window, DestroyWindowSendsDestroyThenNcDestroyChildrenInside) {
    HWND main = support::CreateMainWindow();
    HWND child = CreateWindowExA(0, "Tumbla", "", WS_CHILD | WS_VISIBLE, 10, 10, 50, 20, main,
                                 reinterpret_cast<HMENU>(5), nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    seen.clear();
    ASSERT_TRUE(DestroyWindow(main));
    std::vector<std::pair<HWND, UINT>> order;
    for (const auto& s : seen) {
        if (s.message == WM_DESTROY || s.message == WM_NCDESTROY)
            order.emplace_back(s.window, s.message);
    }
    const std::vector<std::pair<HWND, UINT>> expected = {
        {main, WM_DESTROY}, {child, WM_DESTROY}, {child, WM_NCDESTROY}, {main, WM_NCDESTROY}};
    EXPECT_EQ(order, expected);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(DestroyWindow(main));
    RECT r{};
    EXPECT_FALSE(GetClientRect(main, &r));
    for (HWND w : platform_testing::TopLevelWindows()) EXPECT_NE(w, main);
}

LRESULT CALLBACK QuitOnDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    support::seen.push_back(support::Seen{window, message, wParam, lParam});
    if (message == WM_DESTROY) {
        // The game destroys again from inside the destruction; that must do nothing.
        EXPECT_FALSE(DestroyWindow(window));
        PostQuitMessage(3);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(Window, DestroyingIsReentrantAndQuitEndsTheLoop) {
    WNDCLASSA cls{};
    cls.lpfnWndProc = QuitOnDestroy;
    cls.lpszClassName = "Quitting";
    RegisterClassA(&cls);
    HWND window = CreateWindowExA(0, "Quitting", "q", WS_SYSMENU, 0, 0, 100, 100, nullptr, nullptr,
                                  nullptr, nullptr);
    ShowWindow(window, SW_SHOW);
    seen.clear();
    PostMessageA(window, WM_CLOSE, 0, 0);
    MSG msg;
    ASSERT_TRUE(GetMessageA(&msg, window, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_CLOSE));
    DispatchMessageA(&msg);  // default processing destroys the window
    EXPECT_EQ(support::Count(window, WM_DESTROY), 1);
    EXPECT_EQ(support::Count(window, WM_NCDESTROY), 1);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST(Window, FocusMovesWithKillAndSetFocus) {
    HWND main = support::CreateMainWindow();
    EXPECT_EQ(GetFocus(), main);
    HWND child = CreateWindowExA(0, "Tumbla", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, main,
                                 reinterpret_cast<HMENU>(1), nullptr, nullptr);
    seen.clear();
    EXPECT_EQ(SetFocus(child), main);
    EXPECT_EQ(GetFocus(), child);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].window, main);
    EXPECT_EQ(seen[0].message, static_cast<UINT>(WM_KILLFOCUS));
    EXPECT_EQ(seen[1].window, child);
    EXPECT_EQ(seen[1].message, static_cast<UINT>(WM_SETFOCUS));
    EXPECT_EQ(SetFocus(reinterpret_cast<HWND>(0x99)), nullptr);
    EXPECT_EQ(GetFocus(), child);
}

TEST(Window, RectangleHelpers) {
    RECT r{};
    ASSERT_TRUE(SetRect(&r, 30, 40, 60, 80));
    ASSERT_TRUE(OffsetRect(&r, -30, 10));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.right, 30);
    EXPECT_EQ(r.bottom, 90);
    EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
}

}  // namespace
