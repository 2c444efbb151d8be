// Builds packed DIBs and .bmp files byte by byte for the bitmap tests.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/wingdi.h"

struct DibLayout {
    int width = 1;
    int height = 1;  // negative: rows stored top row first
    int bitCount = 8;
    std::vector<RGBQUAD> table;
    uint32_t headerSize = 40;
    uint32_t coloursUsed = 0;
    // Raw value of the pixel at (x, y), top-down: an index, or 0x00RRGGBB.
    std::function<uint32_t(int, int)> pixel = [](int, int) { return 0u; };
};

inline void Put16(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    out[at] = static_cast<uint8_t>(value);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
}

inline void Put32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    Put16(out, at, value);
    Put16(out, at + 2, value >> 16);
}

// Info header, colour table and pixels, as a bitmap resource holds them.
inline std::vector<uint8_t> PackedDib(const DibLayout& layout) {
    const int rows = layout.height < 0 ? -layout.height : layout.height;
    const size_t stride = (static_cast<size_t>(layout.width) * layout.bitCount + 31) / 32 * 4;
    const size_t tableAt = layout.headerSize;
    const size_t bitsAt = tableAt + layout.table.size() * 4;
    std::vector<uint8_t> out(bitsAt + stride * rows, 0);
    Put32(out, 0, layout.headerSize);
    Put32(out, 4, static_cast<uint32_t>(layout.width));
    Put32(out, 8, static_cast<uint32_t>(layout.height));
    Put16(out, 12, 1);
    Put16(out, 14, static_cast<uint32_t>(layout.bitCount));
    Put32(out, 20, static_cast<uint32_t>(stride * rows));
    Put32(out, 32, layout.coloursUsed);
    for (size_t i = 0; i < layout.table.size(); ++i) {
        const RGBQUAD& c = layout.table[i];
        out[tableAt + 4 * i] = c.rgbBlue;
        out[tableAt + 4 * i + 1] = c.rgbGreen;
        out[tableAt + 4 * i + 2] = c.rgbRed;
    }
    for (int y = 0; y < rows; ++y) {
        const int stored = layout.height > 0 ? rows - 1 - y : y;
        uint8_t* row = out.data() + bitsAt + stride * stored;
        for (int x = 0; x < layout.width; ++x) {
            const uint32_t v = layout.pixel(x, y);
            switch (layout.bitCount) {
                case 1:
                    row[x / 8] |= static_cast<uint8_t>((v & 1) << (7 - x % 8));
                    break;
                case 4:
                    row[x / 2] |= static_cast<uint8_t>((v & 15) << (x % 2 ? 0 : 4));
                    break;
                case 8:
                    row[x] = static_cast<uint8_t>(v);
                    break;
                case 24:
                    row[3 * x] = static_cast<uint8_t>(v);
                    row[3 * x + 1] = static_cast<uint8_t>(v >> 8);
                    row[3 * x + 2] = static_cast<uint8_t>(v >> 16);
                    break;
                case 32:
                    row[4 * x] = static_cast<uint8_t>(v);
                    row[4 * x + 1] = static_cast<uint8_t>(v >> 8);
                    row[4 * x + 2] = static_cast<uint8_t>(v >> 16);
                    row[4 * x + 3] = 0xEE;  // must be ignored
                    break;
            }
        }
    }
    return out;
}

// A .bmp file around a packed DIB; gap extra bytes between table and pixels,
// which bfOffBits skips.
inline std::vector<uint8_t> BmpFile(const std::vector<uint8_t>& dib, size_t pixelsAt,
                                    size_t gap = 0) {
    std::vector<uint8_t> out(14, 0);
    out[0] = 'B';
    out[1] = 'M';
    out.insert(out.end(), dib.begin(), dib.begin() + pixelsAt);
    out.insert(out.end(), gap, 0x5A);
    out.insert(out.end(), dib.begin() + pixelsAt, dib.end());
    Put32(out, 2, static_cast<uint32_t>(out.size()));
    Put32(out, 10, static_cast<uint32_t>(14 + pixelsAt + gap));
    return out;
}

inline uint32_t Rgb(const RGBQUAD& c) {
    return (static_cast<uint32_t>(c.rgbRed) << 16) | (c.rgbGreen << 8) | c.rgbBlue;
}
