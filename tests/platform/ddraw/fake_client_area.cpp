#include "tests/platform/ddraw/fake_client_area.h"

bool fakeDisplayAvailable = true;

FakeWindow& TheFakeWindow() {
    static FakeWindow window;
    return window;
}

void FakeWindow::Reset(int w, int h) {
    width = w;
    height = h;
    pitch = w + 2 * kMargin;
    buffer.assign(static_cast<size_t>(pitch) * (h + 2 * kMargin), kGuard);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) buffer[(y + kMargin) * pitch + x + kMargin] = kBackground;
    }
    locks = 0;
    unlocked.clear();
}

uint32_t FakeWindow::At(int x, int y) const {
    return buffer[static_cast<size_t>(y + kMargin) * pitch + x + kMargin];
}

bool FakeWindow::GuardsIntact() const {
    for (int y = -kMargin; y < height + kMargin; ++y) {
        for (int x = -kMargin; x < width + kMargin; ++x) {
            const bool inside = x >= 0 && x < width && y >= 0 && y < height;
            if (!inside && At(x, y) != kGuard) return false;
        }
    }
    return true;
}

bool DisplayAvailable() { return fakeDisplayAvailable; }

bool LockClientArea(HWND window, ClientArea* area) {
    FakeWindow& fake = TheFakeWindow();
    if (window != fake.handle || !fake.shown || area == nullptr) return false;
    ++fake.locks;
    area->pixels = fake.buffer.data() + FakeWindow::kMargin * fake.pitch + FakeWindow::kMargin;
    area->pitch = fake.pitch;
    area->width = fake.width;
    area->height = fake.height;
    area->origin = fake.origin;
    return true;
}

void UnlockClientArea(HWND window, const RECT* changed) {
    FakeWindow& fake = TheFakeWindow();
    if (window != fake.handle || changed == nullptr) return;
    fake.unlocked.push_back(*changed);
}
