// An in-memory stand-in for a window's client area, with guard pixels all
// around it so that a write outside the client area shows.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/user/client_area.h"

struct FakeWindow {
    static constexpr int kMargin = 8;
    static constexpr uint32_t kGuard = 0xFFEEDDCC;
    static constexpr uint32_t kBackground = 0xFF0000FF;

    HWND handle = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x5150));
    int width = 600;
    int height = 400;
    POINT origin = {100, 50};
    bool shown = true;
    int pitch = 0;
    std::vector<uint32_t> buffer;  // with margins
    int locks = 0;
    std::vector<RECT> unlocked;  // changed rectangles, one per unlock

    // Sets the client size and fills it with kBackground, the margins with
    // kGuard.
    void Reset(int w, int h);
    // Client pixel (x, y); x and y may reach into the margins.
    uint32_t At(int x, int y) const;
    // True when no guard pixel was touched.
    bool GuardsIntact() const;
};

extern bool fakeDisplayAvailable;
FakeWindow& TheFakeWindow();
