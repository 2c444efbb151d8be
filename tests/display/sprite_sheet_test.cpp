#include <gtest/gtest.h>

#include <cstring>

#include "display/display.h"
#include "display/sprite_sheet.h"
#include "rules/board.h"
#include "tests/display/fake_platform.h"

namespace {

std::string RectText(RECT r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

TEST(SheetRegions, TilesEmptyCellAndExplosionFrames) {
    const struct {
        int kind;
        const char* rect;
    } tiles[] = {{0, "225,65,328,170"},  {1, "225,175,328,280"}, {2, "225,285,328,390"},
                 {3, "225,395,328,500"}, {4, "225,505,328,610"}, {EMPTY_CELL, "0,100,103,205"}};
    for (const auto& t : tiles) EXPECT_EQ(RectText(TileSourceRect(t.kind)), t.rect) << t.kind;
    EXPECT_EQ(RectText(ExplosionSourceRect(0)), "62,8,117,58");
    EXPECT_EQ(RectText(ExplosionSourceRect(4)), "282,8,337,58");
    // The frames touch: each one starts where the one before ended.
    for (int f = 1; f < 5; f++)
        EXPECT_EQ(ExplosionSourceRect(f).left, ExplosionSourceRect(f - 1).right);
}

class SheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetFakeWorld();
        ASSERT_TRUE(CreateDirectDraw());
        fake.log.clear();
    }
};

TEST_F(SheetTest, LoadsFromTheResourceAndCopiesTheWholeBitmap) {
    LPDIRECTDRAWSURFACE sheet = LoadSpriteSheet(directDraw, "IDB_TUMBLA", 0, 0);
    ASSERT_NE(sheet, nullptr);
    const std::vector<std::string> expected = {"loadimage resource IDB_TUMBLA",
                                               "create sheet 350x650",
                                               "restore sheet",
                                               "memory dc",
                                               "getdc sheet",
                                               "stretch 0,0,350x650 <- 0,0,350x650",
                                               "releasedc sheet",
                                               "delete dc",
                                               "delete bitmap"};
    EXPECT_EQ(fake.log, expected);
}

TEST_F(SheetTest, FallsBackToAFileOfThatName) {
    fake.resourceBitmap = false;
    fake.fileBitmap = true;
    EXPECT_NE(LoadSpriteSheet(directDraw, "sheet.bmp", 0, 0), nullptr);
    EXPECT_EQ(fake.Entries("loadimage"), (std::vector<std::string>{"loadimage resource sheet.bmp",
                                                                   "loadimage file sheet.bmp"}));
}

TEST_F(SheetTest, NoBitmapMeansNoSheetAndAFailedReload) {
    fake.resourceBitmap = false;
    EXPECT_EQ(LoadSpriteSheet(directDraw, "nothing", 0, 0), nullptr);
    EXPECT_TRUE(fake.Entries("create").empty());

    FakeSurface surface("sheet");
    EXPECT_EQ(ReloadSpriteSheet(&surface, "nothing"), E_FAIL);
    EXPECT_EQ(fake.debugOutput, "handle is null\n");
}

TEST_F(SheetTest, AFailedSurfaceDeletesTheBitmap) {
    fake.failing = "sheet";
    EXPECT_EQ(LoadSpriteSheet(directDraw, "IDB_TUMBLA", 0, 0), nullptr);
    EXPECT_EQ(fake.log.back(), "delete bitmap");
}

TEST_F(SheetTest, ReloadReportsAFailedCopy) {
    FakeSurface surface("sheet");
    surface.width = 350;
    surface.height = 650;
    EXPECT_EQ(ReloadSpriteSheet(&surface, "IDB_TUMBLA"), DD_OK);
    EXPECT_EQ(fake.debugOutput, "");

    surface.lost = true;
    surface.restoreResult = DDERR_SURFACELOST;
    EXPECT_EQ(ReloadSpriteSheet(&surface, "IDB_TUMBLA"), DDERR_SURFACELOST);
    EXPECT_EQ(fake.debugOutput, "ddcopybitmap failed\n");
    EXPECT_EQ(fake.log.back(), "delete bitmap");
    EXPECT_EQ(ddcopybitmap(nullptr, nullptr, 0, 0, 0, 0), E_FAIL);
}

// A packed bitmap header (and colour table) as a resource holds it.
std::vector<unsigned char> InfoHeader(uint32_t size, uint16_t bits, uint32_t coloursUsed,
                                      int tableEntries) {
    std::vector<unsigned char> data(size + 4 * tableEntries, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; i++) data[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    put32(0, size);
    put32(4, 8);
    put32(8, 8);
    data[12] = 1;
    data[14] = static_cast<unsigned char>(bits);
    put32(32, coloursUsed);
    for (int j = 0; j < tableEntries; j++) {
        data[size + 4 * j + 0] = static_cast<unsigned char>(j);        // blue
        data[size + 4 * j + 1] = static_cast<unsigned char>(j + 1);    // green
        data[size + 4 * j + 2] = static_cast<unsigned char>(255 - j);  // red
        data[size + 4 * j + 3] = 0x77;
    }
    return data;
}

struct Rgb {
    int r, g, b;
};

Rgb Entry(int i) {
    return {fake.lastPalette[i].peRed, fake.lastPalette[i].peGreen, fake.lastPalette[i].peBlue};
}

void ExpectRamp(int from, int to) {
    for (int i = from; i < to; i++) {
        EXPECT_EQ(Entry(i).r, ((i >> 5) & 7) * 255 / 7) << i;
        EXPECT_EQ(Entry(i).g, ((i >> 2) & 7) * 255 / 7) << i;
        EXPECT_EQ(Entry(i).b, (i & 3) * 85) << i;
    }
}

void ExpectTable(int from, int to) {
    for (int i = from; i < to; i++) {
        EXPECT_EQ(Entry(i).r, 255 - i) << i;
        EXPECT_EQ(Entry(i).g, (i + 1) & 255) << i;
        EXPECT_EQ(Entry(i).b, i) << i;
        EXPECT_EQ(fake.lastPalette[i].peFlags, 0) << i;
    }
}

TEST_F(SheetTest, DefaultRampValues) {
    EXPECT_NE(LoadSheetPalette(directDraw, nullptr), nullptr);
    const struct {
        int index, r, g, b;
    } cases[] = {{0, 0, 0, 0},         {3, 0, 0, 255},   {28, 0, 255, 0},
                 {146, 145, 145, 170}, {224, 255, 0, 0}, {255, 255, 255, 255}};
    for (const auto& c : cases) {
        EXPECT_EQ(Entry(c.index).r, c.r) << c.index;
        EXPECT_EQ(Entry(c.index).g, c.g) << c.index;
        EXPECT_EQ(Entry(c.index).b, c.b) << c.index;
    }
}

TEST_F(SheetTest, ResourceColourTableReplacesTheRamp) {
    const struct {
        const char* what;
        uint32_t headerSize;
        uint16_t bits;
        uint32_t coloursUsed;
        int tableEntries;
        int expectedFromTable;
    } cases[] = {
        {"8 bits, all colours", 40, 8, 0, 256, 256},
        {"4 bits, colours used 0", 40, 4, 0, 16, 16},
        {"24 bits has no table", 40, 24, 0, 0, 0},
        {"colours used above 256", 40, 8, 1000, 256, 256},
        {"longer header", 56, 8, 0, 256, 256},
        {"short table in a truncated resource", 40, 8, 0, 10, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake.paletteResource = InfoHeader(c.headerSize, c.bits, c.coloursUsed, c.tableEntries);
        ASSERT_NE(LoadSheetPalette(directDraw, "IDB_TUMBLA"), nullptr);
        ExpectTable(0, c.expectedFromTable);
        ExpectRamp(c.expectedFromTable, 256);
    }
}

// Found by fuzz_palette_file: a header size near 4 GB made the end of the
// first table entry wrap round to a small number that passed the bounds
// test, and the loader read far outside the resource.
TEST_F(SheetTest, AHeaderSizeNearTheTopOfTheRangeReadsNoTable) {
    for (uint32_t headerSize : {0xFFFFFFFCu, 0xFFFFFFFEu, 0xFFFFFFFFu}) {
        SCOPED_TRACE(headerSize);
        fake.paletteResource = InfoHeader(40, 8, 0, 4);
        for (int i = 0; i < 4; i++) {
            fake.paletteResource[i] = static_cast<unsigned char>(headerSize >> (8 * i));
        }
        ASSERT_NE(LoadSheetPalette(directDraw, "IDB_TUMBLA"), nullptr);
        ExpectRamp(0, 256);
    }
}

TEST_F(SheetTest, FileColourTableIsSwappedOnlyForAPlainHeader) {
    auto file = [](uint32_t headerSize) {
        std::vector<unsigned char> bytes(14, 0);
        auto info = InfoHeader(40, 8, 0, 256);
        info[0] = static_cast<unsigned char>(headerSize);
        bytes.insert(bytes.end(), info.begin(), info.end());
        return bytes;
    };
    fake.paletteFile = file(40);
    ASSERT_NE(LoadSheetPalette(directDraw, "sheet.bmp"), nullptr);
    EXPECT_EQ(Entry(7).r, 255 - 7);
    EXPECT_EQ(Entry(7).b, 7);
    EXPECT_EQ(fake.lastPalette[7].peFlags, 0x77);

    // A longer header fails the test: the entries stay in file order.
    fake.paletteFile = file(56);
    ASSERT_NE(LoadSheetPalette(directDraw, "sheet.bmp"), nullptr);
    EXPECT_EQ(Entry(7).r, 7);
    EXPECT_EQ(Entry(7).b, 255 - 7);

    // Neither a resource nor a readable file: the pure ramp.
    fake.paletteFile.clear();
    ASSERT_NE(LoadSheetPalette(directDraw, "missing.bmp"), nullptr);
    ExpectRamp(0, 256);
}

TEST_F(SheetTest, NoPaletteWhenCreationFails) {
    fake.failing = "palette";
    EXPECT_EQ(LoadSheetPalette(directDraw, nullptr), nullptr);
}

}  // namespace
