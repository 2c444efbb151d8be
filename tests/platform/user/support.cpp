#include "tests/platform/user/support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/kernel/resources.h"

namespace {

// Headless unless the one running the tests says otherwise
// (TUMBLA_HEADLESS=0 under an X server runs them against the real host).
const bool headless = [] {
    setenv("TUMBLA_HEADLESS", "1", 0);
    return true;
}();

void Word(std::vector<unsigned char>& out, unsigned w) {
    out.push_back(static_cast<unsigned char>(w & 0xFF));
    out.push_back(static_cast<unsigned char>(w >> 8));
}

void Item(std::vector<unsigned char>& out, unsigned flags, unsigned id, const char* text,
          bool popup) {
    Word(out, flags);
    if (!popup) Word(out, id);
    for (const char* p = text; *p; ++p) Word(out, static_cast<unsigned char>(*p));
    Word(out, 0);
}

std::vector<unsigned char> MenuTemplate() {
    std::vector<unsigned char> m;
    Word(m, 0);
    Word(m, 0);
    Item(m, 0x10, 0, "&Game", true);
    Item(m, 0, 40003, "&New Game", false);
    Item(m, 0, 0, "", false);
    Item(m, 0, 40008, "&Sounds", false);
    Item(m, 0, 0, "", false);
    Item(m, 0, 40005, "&High Scores", false);
    Item(m, 0, 0, "", false);
    Item(m, 0x80, 40004, "E&xit", false);
    Item(m, 0x10 | 0x80, 0, "&Help", true);
    Item(m, 0, 40002, "&About ...", false);
    Item(m, 0x80, 40001, "&Help ...", false);
    return m;
}

void Dword(std::vector<unsigned char>& out, uint32_t d) {
    Word(out, d & 0xFFFF);
    Word(out, d >> 16);
}

// A 32 x 32 icon in 16 colours: red left half, blue right half, the top row
// transparent through the AND mask.
std::vector<unsigned char> IconImage() {
    std::vector<unsigned char> i;
    Dword(i, 40);
    Dword(i, 32);
    Dword(i, 64);
    Word(i, 1);
    Word(i, 4);
    for (int k = 0; k < 6; ++k) Dword(i, 0);
    const uint32_t colours[16] = {0x000000, 0xFF0000, 0x0000FF};
    for (uint32_t c : colours) {
        i.push_back(static_cast<unsigned char>(c & 0xFF));
        i.push_back(static_cast<unsigned char>((c >> 8) & 0xFF));
        i.push_back(static_cast<unsigned char>((c >> 16) & 0xFF));
        i.push_back(0);
    }
    for (int row = 0; row < 32; ++row) {
        for (int b = 0; b < 16; ++b) i.push_back(b < 8 ? 0x11 : 0x22);
    }
    for (int row = 0; row < 32; ++row) {
        const bool top = row == 31;  // bottom-up: the last row stored is the top
        for (int b = 0; b < 4; ++b) i.push_back(top ? 0xFF : 0x00);
    }
    return i;
}

std::vector<unsigned char> IconGroup() {
    std::vector<unsigned char> g;
    Word(g, 0);
    Word(g, 1);
    Word(g, 1);
    g.push_back(32);
    g.push_back(32);
    g.push_back(16);
    g.push_back(0);
    Word(g, 1);
    Word(g, 4);
    Dword(g, static_cast<uint32_t>(IconImage().size()));
    Word(g, 7);
    return g;
}

const std::vector<unsigned char> menuBytes = MenuTemplate();
const std::vector<unsigned char> iconBytes = IconImage();
const std::vector<unsigned char> groupBytes = IconGroup();

}  // namespace

const ResourceEntry resourceTable[] = {
    {4, nullptr, support::kMenuId, nullptr, menuBytes.data(), static_cast<DWORD>(menuBytes.size())},
    {3, nullptr, 7, nullptr, iconBytes.data(), static_cast<DWORD>(iconBytes.size())},
    {14, nullptr, 0, "IDI_ICON1", groupBytes.data(), static_cast<DWORD>(groupBytes.size())},
};
const size_t resourceCount = sizeof resourceTable / sizeof resourceTable[0];

namespace support {

std::vector<Seen> seen;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    seen.push_back(Seen{window, message, wParam, lParam});
    if (message == WM_GETMINMAXINFO) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = 600 + 2 * GetSystemMetrics(SM_CXDLGFRAME);
        info->ptMinTrackSize.y = 400 + GetSystemMetrics(SM_CYCAPTION) +
                                 2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYMENU);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static void Register(const char* name, LPCSTR menu) {
    WNDCLASSA cls{};
    cls.style = CS_HREDRAW | CS_VREDRAW;
    cls.lpfnWndProc = RecordingProc;
    cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    cls.lpszMenuName = menu;
    cls.lpszClassName = name;
    RegisterClassA(&cls);
}

HWND CreateMainWindow() {
    Register("Tumbla", MAKEINTRESOURCEA(kMenuId));
    HWND window = CreateWindowExA(0, "Tumbla", "Tumbla", WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 300, 300, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return window;
}

HWND CreatePlainWindow(const char* title) {
    Register("Plain", nullptr);
    HWND window = CreateWindowExA(0, "plain", title, WS_SYSMENU, 10, 10, 200, 100, nullptr, nullptr,
                                  nullptr, nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    return window;
}

std::vector<MSG> PumpUntilIdle(HWND filter) {
    // The hook runs only once everything before it has been handed out, so
    // its marker message is the last one.
    constexpr WPARAM kIdleMark = 0x1D1E;
    std::vector<MSG> got;
    int idles = 0;
    platform_testing::SetIdleHook([filter, &idles] {
        // A menu or box left open takes the marker in its own loop: close it,
        // and give up if that does not help.
        if (++idles > 10) {
            if (platform_testing::MenuOpen()) platform_testing::PressKey(VK_ESCAPE);
            if (HWND box = platform_testing::ActiveModalWindow())
                platform_testing::RequestClose(box);
        }
        if (idles == 50) {
            ADD_FAILURE() << "a loop stayed open";
            platform_testing::RequestQuit();
        }
        PostMessageA(filter, WM_NULL, kIdleMark, 0);
    });
    for (;;) {
        MSG msg;
        const BOOL result = GetMessageA(&msg, filter, 0, 0);
        if (msg.message == WM_NULL && msg.wParam == kIdleMark) break;
        got.push_back(msg);
        if (!result) break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    platform_testing::SetIdleHook(nullptr);
    return got;
}

int Count(HWND window, UINT message) {
    int n = 0;
    for (const Seen& s : seen) {
        if (s.window == window && s.message == message) ++n;
    }
    return n;
}

void OnIdle(std::function<void(int)> step, int limit) {
    auto calls = std::make_shared<int>(0);
    platform_testing::SetIdleHook([step, limit, calls] {
        const int n = (*calls)++;
        if (n >= limit) {
            ADD_FAILURE() << "the loop went idle " << limit << " times without finishing";
            if (HWND box = platform_testing::ActiveModalWindow())
                platform_testing::RequestClose(box);
            platform_testing::RequestQuit();
            return;
        }
        step(n);
    });
}

void ClearIdle() { platform_testing::SetIdleHook(nullptr); }

}  // namespace support
