#include "platform/kernel/resources.h"
#include "tests/platform/gdi/test_bitmaps.h"

DibSpec Checker8Spec() {
    DibSpec spec;
    spec.width = 5;
    spec.height = 3;
    spec.bitCount = 8;
    spec.table = {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {255, 255, 255, 0}};
    spec.coloursUsed = 4;
    spec.pixel = [](int x, int y) { return static_cast<uint32_t>((x + y) % 4); };
    return spec;
}

DibSpec Rgb24Spec() {
    DibSpec spec;
    spec.width = 3;
    spec.height = -2;
    spec.bitCount = 24;
    spec.pixel = [](int x, int y) {
        return 0x102030u + static_cast<uint32_t>(x * 0x40 + y * 0x4000);
    };
    return spec;
}

DibSpec LongHeader4Spec() {
    DibSpec spec;
    spec.width = 3;
    spec.height = 2;
    spec.bitCount = 4;
    spec.headerSize = 52;
    for (int i = 0; i < 16; ++i) {
        spec.table.push_back({static_cast<BYTE>(i * 16), static_cast<BYTE>(i), 7, 0});
    }
    spec.pixel = [](int x, int y) { return static_cast<uint32_t>(x * 5 + y); };
    return spec;
}

namespace {

const std::vector<uint8_t> checker8 = PackedDib(Checker8Spec());
const std::vector<uint8_t> rgb24 = PackedDib(Rgb24Spec());
const std::vector<uint8_t> longHeader4 = PackedDib(LongHeader4Spec());

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
