#include <gtest/gtest.h>

#include "platform/user/icon.h"
#include "tests/platform/user/support.h"

namespace {

TEST(Images, IconsDecodeFromTheGroupAndTheirAndMask) {
    HANDLE icon = LoadImageA(nullptr, "idi_icon1", IMAGE_ICON, 0, 0, LR_DEFAULTSIZE);
    ASSERT_NE(icon, nullptr);
    const user::IconImage* image = user::LookupIcon(static_cast<HICON>(icon));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 32);
    EXPECT_EQ(image->height, 32);
    EXPECT_EQ(image->argb[0], 0u);                      // top row: masked out
    EXPECT_EQ(image->argb[32 + 0], 0xFFFF0000u);        // red left half
    EXPECT_EQ(image->argb[32 * 31 + 31], 0xFF0000FFu);  // blue right half
    EXPECT_EQ(LoadImageA(nullptr, "NO_SUCH_ICON", IMAGE_ICON, 0, 0, 0), nullptr);
    EXPECT_EQ(user::LookupIcon(LoadCursorA(nullptr, IDC_ARROW)), nullptr);
}

TEST(Images, MalformedIconsAreRefused) {
    const unsigned char tooShort[10] = {};
    user::IconImage image{};
    EXPECT_FALSE(user::DecodeIcon(tooShort, sizeof tooShort, &image));
    unsigned char header[40] = {40, 0, 0, 0, 32, 0, 0, 0, 64, 0, 0, 0, 1, 0, 4, 0};
    // Claims 16 colours and 32 rows but carries none of them.
    EXPECT_FALSE(user::DecodeIcon(header, sizeof header, &image));
}

}  // namespace
