#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "platform/gdi/bitmap_load.h"
#include "platform/gdi/surface_dc.h"
#include "platform/win32.h"
#include "tests/platform/gdi/test_bitmaps.h"

namespace {

// Copies the whole bitmap 1:1 onto a fresh 32-bit buffer through the same
// calls the sprite-sheet load makes, and returns that buffer row by row.
std::vector<uint32_t> Render(HBITMAP bitmap) {
    BITMAP info;
    if (GetObjectA(bitmap, sizeof info, &info) != sizeof info) return {};
    std::vector<uint32_t> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight, 0xDEADBEEF);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    HDC surface = CreateSurfaceDC(pixels.data(), info.bmWidth, info.bmWidth, info.bmHeight);
    const BOOL copied = StretchBlt(surface, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0,
                                   info.bmWidth, info.bmHeight, SRCCOPY);
    DeleteSurfaceDC(surface);
    SelectObject(memory, previous);
    DeleteDC(memory);
    if (!copied) return {};
    return pixels;
}

// The colour a layout asks for at (x, y).
uint32_t Expected(const DibLayout& layout, int x, int y) {
    const uint32_t raw = layout.pixel(x, y);
    return layout.bitCount <= 8 ? Rgb(layout.table[raw]) : raw;
}

void ExpectPicture(HBITMAP bitmap, const DibLayout& layout) {
    ASSERT_NE(bitmap, nullptr);
    const int rows = layout.height < 0 ? -layout.height : layout.height;
    const std::vector<uint32_t> pixels = Render(bitmap);
    ASSERT_EQ(pixels.size(), static_cast<size_t>(layout.width * rows));
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < layout.width; ++x) {
            EXPECT_EQ(pixels[y * layout.width + x], Expected(layout, x, y)) << x << "," << y;
        }
    }
}

std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(name.c_str(), "wb");
    EXPECT_NE(file, nullptr);
    if (file == nullptr) return name;
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return name;
}

size_t PixelsAt(const DibLayout& layout) { return layout.headerSize + layout.table.size() * 4; }

}  // namespace

TEST(LoadBitmapImage, ResourceBitmapsKeepSizeDepthTableAndRowOrder) {
    struct Case {
        LPCSTR name;
        DibLayout layout;
    };
    const Case cases[] = {
        {"CHECKER8", Checker8Layout()},
        {"checker8", Checker8Layout()},  // resource names ignore case
        {MAKEINTRESOURCEA(7), Rgb24Layout()},
        {"LONGHEADER4", LongHeader4Layout()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(IS_INTRESOURCE(c.name) ? std::string("#7") : std::string(c.name));
        HBITMAP bitmap = LoadBitmapImage(nullptr, c.name, 0, 0, LR_CREATEDIBSECTION);
        ASSERT_NE(bitmap, nullptr);
        BITMAP info;
        ASSERT_EQ(GetObjectA(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
        EXPECT_EQ(info.bmType, 0);
        EXPECT_EQ(info.bmWidth, c.layout.width);
        EXPECT_EQ(info.bmHeight, c.layout.height < 0 ? -c.layout.height : c.layout.height);
        EXPECT_EQ(info.bmWidthBytes, (c.layout.width * c.layout.bitCount + 31) / 32 * 4);
        EXPECT_EQ(info.bmPlanes, 1);
        EXPECT_EQ(info.bmBitsPixel, c.layout.bitCount);
        EXPECT_NE(info.bmBits, nullptr);
        ExpectPicture(bitmap, c.layout);
        EXPECT_TRUE(DeleteObject(bitmap));
    }
}

TEST(LoadBitmapImage, BitsAreTheStoredRowsOfTheDib) {
    HBITMAP bitmap = LoadBitmapImage(nullptr, "CHECKER8", 0, 0, LR_CREATEDIBSECTION);
    BITMAP info;
    ASSERT_EQ(GetObjectA(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
    const std::vector<uint8_t> dib = PackedDib(Checker8Layout());
    const auto* bits = static_cast<const uint8_t*>(info.bmBits);
    const size_t at = PixelsAt(Checker8Layout());
    for (size_t i = 0; i < dib.size() - at; ++i) EXPECT_EQ(bits[i], dib[at + i]) << i;
    DeleteObject(bitmap);
}

TEST(LoadBitmapImage, MissingResourcesAndFilesGiveNull) {
    EXPECT_EQ(LoadBitmapImage(nullptr, "NOSUCH", 0, 0, LR_CREATEDIBSECTION), nullptr);
    EXPECT_EQ(LoadBitmapImage(nullptr, MAKEINTRESOURCEA(8), 0, 0, 0), nullptr);
    EXPECT_EQ(LoadBitmapImage(nullptr, "RAWDATA", 0, 0, 0), nullptr);
    EXPECT_EQ(LoadBitmapImage(nullptr, "TRUNCATED", 0, 0, 0), nullptr);
    EXPECT_EQ(LoadBitmapImage(nullptr, nullptr, 0, 0, 0), nullptr);
    EXPECT_EQ(LoadBitmapImage(nullptr, "no-such-file.bmp", 0, 0, LR_LOADFROMFILE), nullptr);
    // A resource name is not a file name: nothing called CHECKER8 is on disk.
    EXPECT_EQ(LoadBitmapImage(nullptr, "CHECKER8", 0, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(LoadBitmapImage(nullptr, MAKEINTRESOURCEA(7), 0, 0, LR_LOADFROMFILE), nullptr);
}

TEST(LoadBitmapImage, FilesOfEachDepthLoad) {
    DibLayout oneBit;
    oneBit.width = 11;
    oneBit.height = 3;
    oneBit.bitCount = 1;
    oneBit.table = {{1, 2, 3, 0}, {250, 251, 252, 0}};
    oneBit.pixel = [](int x, int y) { return static_cast<uint32_t>((x * 3 + y) % 2); };
    DibLayout thirtyTwo;
    thirtyTwo.width = 2;
    thirtyTwo.height = 2;
    thirtyTwo.bitCount = 32;
    thirtyTwo.pixel = [](int x, int y) { return 0xA0B0C0u ^ static_cast<uint32_t>(x + 16 * y); };
    const DibLayout cases[] = {Checker8Layout(), Rgb24Layout(), LongHeader4Layout(), oneBit,
                               thirtyTwo};
    int n = 0;
    for (const DibLayout& layout : cases) {
        SCOPED_TRACE(layout.bitCount);
        for (size_t gap : {size_t{0}, size_t{6}}) {
            const std::string path = WriteFile("depth" + std::to_string(n++) + ".bmp",
                                               BmpFile(PackedDib(layout), PixelsAt(layout), gap));
            HBITMAP bitmap =
                LoadBitmapImage(nullptr, path.c_str(), 0, 0, LR_CREATEDIBSECTION | LR_LOADFROMFILE);
            ExpectPicture(bitmap, layout);
            DeleteObject(bitmap);
        }
    }
}

TEST(LoadBitmapImage, GivenSizeStretchesToNearestPixels) {
    HBITMAP bitmap = LoadBitmapImage(nullptr, "CHECKER8", 10, 6, LR_CREATEDIBSECTION);
    BITMAP info;
    ASSERT_EQ(GetObjectA(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 10);
    EXPECT_EQ(info.bmHeight, 6);
    EXPECT_EQ(info.bmBitsPixel, 8);
    const DibLayout layout = Checker8Layout();
    const std::vector<uint32_t> pixels = Render(bitmap);
    ASSERT_EQ(pixels.size(), 60u);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 10; ++x) {
            EXPECT_EQ(pixels[y * 10 + x], Expected(layout, x / 2, y / 2)) << x << "," << y;
        }
    }
    DeleteObject(bitmap);
    EXPECT_EQ(LoadBitmapImage(nullptr, "CHECKER8", -1, 0, 0), nullptr);
}

TEST(LoadBitmapImage, MalformedFilesGiveNull) {
    const DibLayout layout = Checker8Layout();
    const std::vector<uint8_t> good = BmpFile(PackedDib(layout), PixelsAt(layout));
    const size_t info = 14;
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> spoil;
    };
    const Case cases[] = {
        {"wrong magic", [](auto& b) { b[1] = 'X'; }},
        {"header size 12", [&](auto& b) { Put32(b, info, 12); }},
        {"header size past the end", [&](auto& b) { Put32(b, info, 0x7FFFFFF0); }},
        {"width 0", [&](auto& b) { Put32(b, info + 4, 0); }},
        {"negative width", [&](auto& b) { Put32(b, info + 4, static_cast<uint32_t>(-5)); }},
        {"height 0", [&](auto& b) { Put32(b, info + 8, 0); }},
        {"huge width", [&](auto& b) { Put32(b, info + 4, 0x7FFFFFFF); }},
        {"huge height", [&](auto& b) { Put32(b, info + 8, 0x7FFFFFFF); }},
        {"most negative height", [&](auto& b) { Put32(b, info + 8, 0x80000000u); }},
        {"width beyond the pixels", [&](auto& b) { Put32(b, info + 4, 1000); }},
        {"height beyond the pixels", [&](auto& b) { Put32(b, info + 8, 4); }},
        {"two planes", [&](auto& b) { Put16(b, info + 12, 2); }},
        {"7 bits per pixel", [&](auto& b) { Put16(b, info + 14, 7); }},
        {"0 bits per pixel", [&](auto& b) { Put16(b, info + 14, 0); }},
        {"run-length compressed", [&](auto& b) { Put32(b, info + 16, 1); }},
        {"bit fields", [&](auto& b) { Put32(b, info + 16, 3); }},
        {"300 colours", [&](auto& b) { Put32(b, info + 32, 300); }},
        {"table past the end", [&](auto& b) { Put32(b, info + 32, 256); }},
        {"pixels offset past the end", [&](auto& b) { Put32(b, 10, 0xFFFFFF00u); }},
        {"pixels offset inside the table", [&](auto& b) { Put32(b, 10, 14 + 40 + 4); }},
        {"pixels offset 0", [&](auto& b) { Put32(b, 10, 0); }},
        {"empty file", [](auto& b) { b.clear(); }},
        {"file header only", [](auto& b) { b.resize(14); }},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bytes = good;
        c.spoil(bytes);
        const std::string path = WriteFile("bad" + std::to_string(n++) + ".bmp", bytes);
        EXPECT_EQ(LoadBitmapImage(nullptr, path.c_str(), 0, 0, LR_LOADFROMFILE), nullptr);
    }
    // Control: the unspoilt file loads.
    HBITMAP bitmap =
        LoadBitmapImage(nullptr, WriteFile("good.bmp", good).c_str(), 0, 0, LR_LOADFROMFILE);
    EXPECT_NE(bitmap, nullptr);
    DeleteObject(bitmap);
}

TEST(LoadBitmapImage, EveryTruncationOfAFileGivesNull) {
    const DibLayout layout = Checker8Layout();
    const std::vector<uint8_t> good = BmpFile(PackedDib(layout), PixelsAt(layout));
    for (size_t length = 0; length < good.size(); ++length) {
        const std::vector<uint8_t> cut(good.begin(), good.begin() + length);
        const std::string path = WriteFile("cut.bmp", cut);
        EXPECT_EQ(LoadBitmapImage(nullptr, path.c_str(), 0, 0, LR_LOADFROMFILE), nullptr) << length;
    }
}

// Random damage to the headers must never make the loader read or write out
// of bounds (the sanitizer build catches that); whatever loads is a
// consistent bitmap.
TEST(LoadBitmapImage, RandomlyDamagedHeadersAreSafe) {
    DibLayout layout = Checker8Layout();
    const std::vector<uint8_t> good = BmpFile(PackedDib(layout), PixelsAt(layout));
    std::mt19937 random(12345);
    int loaded = 0;
    for (int round = 0; round < 800; ++round) {
        std::vector<uint8_t> bytes = good;
        const int damage = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < damage; ++i) {
            bytes[random() % (14 + 40 + 16)] = static_cast<uint8_t>(random());
        }
        if (random() % 3 == 0) bytes.resize(random() % bytes.size());
        const std::string path = WriteFile("fuzz.bmp", bytes);
        HBITMAP bitmap = LoadBitmapImage(nullptr, path.c_str(), 0, 0, LR_LOADFROMFILE);
        if (bitmap == nullptr) continue;
        ++loaded;
        BITMAP info;
        ASSERT_EQ(GetObjectA(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
        ASSERT_GT(info.bmWidth, 0);
        ASSERT_GT(info.bmHeight, 0);
        ASSERT_LE(static_cast<size_t>(info.bmWidthBytes) * info.bmHeight, bytes.size());
        EXPECT_FALSE(Render(bitmap).empty());
        EXPECT_TRUE(DeleteObject(bitmap));
    }
    // Damage that spares the fields that matter still loads now and then.
    EXPECT_GT(loaded, 0);
}
