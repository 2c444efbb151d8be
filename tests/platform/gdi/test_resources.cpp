#include "platform/kernel/resources.h"
#include "tests/platform/gdi/test_bitmaps.h"

DibLayout Checker8Layout() {
    DibLayout layout;
    layout.width = 5;
    layout.height = 3;
    layout.bitCount = 8;
    layout.table = {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {255, 255, 255, 0}};
    layout.coloursUsed = 4;
    layout.pixel = [](int x, int y) { return static_cast<uint32_t>((x + y) % 4); };
    return layout;
}

DibLayout Rgb24Layout() {
    DibLayout layout;
    layout.width = 3;
    layout.height = -2;
    layout.bitCount = 24;
    layout.pixel = [](int x, int y) {
        return 0x102030u + static_cast<uint32_t>(x * 0x40 + y * 0x4000);
    };
    return layout;
}

DibLayout LongHeader4Layout() {
    DibLayout layout;
    layout.width = 3;
    layout.height = 2;
    layout.bitCount = 4;
    layout.headerSize = 52;
    for (int i = 0; i < 16; ++i) {
        layout.table.push_back({static_cast<BYTE>(i * 16), static_cast<BYTE>(i), 7, 0});
    }
    layout.pixel = [](int x, int y) { return static_cast<uint32_t>(x * 5 + y); };
    return layout;
}

namespace {

const std::vector<uint8_t> checker8 = PackedDib(Checker8Layout());
const std::vector<uint8_t> rgb24 = PackedDib(Rgb24Layout());
const std::vector<uint8_t> longHeader4 = PackedDib(LongHeader4Layout());

}  // namespace

const ResourceEntry resourceTable[] = {
    {2, nullptr, 0, "CHECKER8", checker8.data(), static_cast<DWORD>(checker8.size())},
    {2, nullptr, 7, nullptr, rgb24.data(), static_cast<DWORD>(rgb24.size())},
    {2, nullptr, 0, "LongHeader4", longHeader4.data(), static_cast<DWORD>(longHeader4.size())},
    // The same bytes under another type must not be found as a bitmap.
    {10, nullptr, 0, "RAWDATA", checker8.data(), static_cast<DWORD>(checker8.size())},
    // One byte short of its pixels.
    {2, nullptr, 0, "TRUNCATED", checker8.data(), static_cast<DWORD>(checker8.size() - 1)},
};
const size_t resourceCount = sizeof resourceTable / sizeof resourceTable[0];
