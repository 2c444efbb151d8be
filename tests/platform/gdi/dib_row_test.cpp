// Whole-row decoding is what copies use; it must give exactly the colours of
// the pixel-by-pixel decoder at every depth and in both row orders.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi/gdi_objects.h"

TEST(DibColourRow, MatchesPixelDecodingAtEveryDepth) {
    RGBQUAD table[256];
    for (int i = 0; i < 256; ++i) {
        table[i] = RGBQUAD{static_cast<BYTE>(i * 7), static_cast<BYTE>(255 - i),
                           static_cast<BYTE>(i * 13), 0};
    }
    const int kWidth = 13;  // odd, so packed rows end part-way through a byte
    const int kHeight = 3;
    for (int bitCount : {1, 4, 8, 16, 24, 32}) {
        for (int height : {kHeight, -kHeight}) {
            SCOPED_TRACE(testing::Message() << bitCount << " bits, height " << height);
            std::vector<uint8_t> bits(static_cast<size_t>(DibStride(kWidth, bitCount)) * kHeight);
            uint32_t seed = 7;
            for (uint8_t& b : bits) {
                seed = seed * 1664525u + 1013904223u;
                b = static_cast<uint8_t>(seed >> 24);
            }
            // A short table: indices past it must decode as black either way.
            HBITMAP handle = CreateDibSection(kWidth, height, bitCount, table, 100, bits.data());
            DibBitmap* bitmap = FindBitmap(handle);
            ASSERT_NE(bitmap, nullptr);
            for (int y = 0; y < kHeight; ++y) {
                uint32_t row[kWidth + 1];
                row[kWidth] = 0xDEADBEEF;
                DibColourRow(*bitmap, y, row);
                for (int x = 0; x < kWidth; ++x)
                    EXPECT_EQ(row[x], DibColour(*bitmap, x, y)) << x << "," << y;
                EXPECT_EQ(row[kWidth], 0xDEADBEEFu) << "wrote past the row";
            }
            EXPECT_TRUE(DeleteObject(handle));
        }
    }
}
