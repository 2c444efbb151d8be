#include "tests/e2e/screenshot.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/testing.h"
#include "platform/win32.h"

namespace {

void Put16(std::vector<unsigned char>& out, uint32_t v) {
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void Put32(std::vector<unsigned char>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

void SaveScreenshot(HWND window, const char* name) {
    const char* folder = std::getenv("TUMBLA_SCREENSHOTS");
    if (!folder || !*folder || !window) return;
    RECT client{};
    if (!GetClientRect(window, &client)) return;
    const int width = client.right;
    const int height = client.bottom + (GetMenu(window) ? GetSystemMetrics(SM_CYMENU) : 0);
    if (width <= 0 || height <= 0) return;
    // A 32-bit bottom-up BMP: the simplest file every viewer reads.
    std::vector<unsigned char> file;
    const uint32_t pixelBytes = static_cast<uint32_t>(width) * static_cast<uint32_t>(height) * 4;
    file.push_back('B');
    file.push_back('M');
    Put32(file, 54 + pixelBytes);
    Put32(file, 0);
    Put32(file, 54);
    Put32(file, 40);
    Put32(file, static_cast<uint32_t>(width));
    Put32(file, static_cast<uint32_t>(height));
    Put16(file, 1);
    Put16(file, 32);
    Put32(file, 0);
    Put32(file, pixelBytes);
    Put32(file, 3780);
    Put32(file, 3780);
    Put32(file, 0);
    Put32(file, 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            uint32_t rgb = 0;
            platform_testing::ReadFramePixel(window, x, y, &rgb);
            Put32(file, rgb);
        }
    }
    std::ofstream out(std::string(folder) + "/" + name + ".bmp", std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()),
              static_cast<std::streamsize>(file.size()));
}
