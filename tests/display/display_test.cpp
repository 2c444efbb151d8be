#include <gtest/gtest.h>

#include "display/display.h"
#include "display/sprite_sheet.h"
#include "rules/board.h"
#include "tests/display/fake_platform.h"

namespace {

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override { ResetFakeWorld(); }

    // Start-up's display objects, with the log cleared afterwards.
    void CreateAll() {
        ASSERT_TRUE(CreateDirectDraw());
        ASSERT_TRUE(CreateSurfaces());
        spriteSheet = LoadSpriteSheet(directDraw, spriteSheetName, 0, 0);
        ASSERT_NE(spriteSheet, nullptr);
        fake.log.clear();
    }

    static int Count(const std::vector<std::string>& log, const std::string& prefix) {
        int n = 0;
        for (const auto& e : log) n += e.rfind(prefix, 0) == 0;
        return n;
    }
};

const char* const kPresent = "blt primary (100,50,740,530) <- back (0,0,640,480)";

TEST_F(DisplayTest, CreatesObjectsInOrder) {
    ASSERT_TRUE(CreateDirectDraw());
    ASSERT_TRUE(CreateSurfaces());
    const std::vector<std::string> expected = {
        "DirectDrawCreate",    "cooperative main 8",  "create primary 0x0",
        "create clipper",      "clipper window main", "setclipper primary",
        "create back 640x480", "create palette 4",    "setpalette primary"};
    EXPECT_EQ(fake.log, expected);
    EXPECT_NE(primarySurface, nullptr);
    EXPECT_NE(windowClipper, nullptr);
    EXPECT_NE(backBuffer, nullptr);
    EXPECT_NE(sheetPalette, nullptr);
}

TEST_F(DisplayTest, EachOfTheFirstFourStepsDecides) {
    for (const char* step : {"primary", "clipper", "SetHWnd", "SetClipper"}) {
        ResetFakeWorld();
        ASSERT_TRUE(CreateDirectDraw());
        fake.failing = step;
        EXPECT_FALSE(CreateSurfaces()) << step;
        EXPECT_EQ(backBuffer, nullptr) << step;
    }
    ResetFakeWorld();
    fake.failing = "DirectDrawCreate";
    EXPECT_FALSE(CreateDirectDraw());
}

TEST_F(DisplayTest, MissingBackBufferOrPaletteDoesNotFailStartUp) {
    ASSERT_TRUE(CreateDirectDraw());
    fake.failing = "backbuffer";
    EXPECT_TRUE(CreateSurfaces());
    EXPECT_EQ(backBuffer, nullptr);

    ResetFakeWorld();
    ASSERT_TRUE(CreateDirectDraw());
    fake.failing = "palette";
    EXPECT_TRUE(CreateSurfaces());
    EXPECT_EQ(sheetPalette, nullptr);
    EXPECT_EQ(fake.Entries("setpalette").size(), 0u);
}

TEST_F(DisplayTest, WithoutBackBufferNothingIsDrawnAndTheTitleStays) {
    DrawBoard();
    DrawExplosionFrame(0, 1, 1);
    PresentBackBuffer();
    EXPECT_TRUE(fake.log.empty());
    EXPECT_EQ(fake.title, "Tumbla");
}

TEST_F(DisplayTest, DrawBoardBlitsRowByRowThenPresents) {
    CreateAll();
    fake.clientOrigin = {100, 50};
    for (int x = 0; x < BOARD_COLUMNS; x++)
        for (int y = 0; y < BOARD_ROWS; y++) gameState.board[CELL_INDEX(x, y)] = (x + y) % 5;
    gameState.board[CELL_INDEX(19, 9)] = EMPTY_CELL;
    DrawBoard();

    ASSERT_EQ(fake.log.size(), 2u + 200u + 2u);
    EXPECT_EQ(fake.log[0], "setpalette back");
    EXPECT_EQ(fake.log[1], "title Tumbla - 0 points");
    EXPECT_EQ(fake.log[2], "blt back (0,0,30,40) <- sheet (225,65,328,170)");
    // Row 0, column 1 comes second: the blits run along rows.
    EXPECT_EQ(fake.log[3], "blt back (30,0,60,40) <- sheet (225,175,328,280)");
    EXPECT_EQ(fake.log[2 + 20], "blt back (0,40,30,80) <- sheet (225,175,328,280)");
    EXPECT_EQ(fake.log[201], "blt back (570,360,600,400) <- sheet (0,100,103,205)");
    EXPECT_EQ(fake.log[202], "setpalette back");
    EXPECT_EQ(fake.log[203], kPresent);
}

TEST_F(DisplayTest, TitleIsWrittenOnlyWhenThePointsChange) {
    CreateAll();
    DrawBoard();
    DrawBoard();
    EXPECT_EQ(fake.Entries("title"), std::vector<std::string>{"title Tumbla - 0 points"});
    gameState.points = 1234;
    DrawBoard();
    EXPECT_EQ(fake.title, "Tumbla - 1234 points");
    EXPECT_EQ(gameState.lastShownPoints, 1234);
    EXPECT_EQ(fake.Entries("title").size(), 2u);
}

TEST_F(DisplayTest, EmptyBoardDrawsTwoHundredWhiteCells) {
    CreateAll();
    for (CellKind& cell : gameState.board) cell = EMPTY_CELL;
    DrawBoard();
    EXPECT_EQ(Count(fake.log, "blt back"), 200);
    for (const auto& e : fake.Entries("blt back")) {
        EXPECT_NE(e.find("<- sheet (0,100,103,205)"), std::string::npos) << e;
    }
}

TEST_F(DisplayTest, ExplosionFrameCopiesOneCellOnly) {
    CreateAll();
    DrawExplosionFrame(4, 2, 3);
    EXPECT_EQ(fake.log,
              std::vector<std::string>{"blt back (60,120,90,160) <- sheet (282,8,337,58)"});
}

TEST_F(DisplayTest, LossWhileDrawingRestoresRedrawsAndCarriesOn) {
    CreateAll();
    fake.clientOrigin = {100, 50};
    const int n = 5;
    fake.Surface("back")->loseAfterBlits = n;
    DrawBoard();

    // The reload's copy restores the sheet once more before drawing onto it.
    EXPECT_EQ(fake.Entries("restore"),
              (std::vector<std::string>{"restore primary", "restore back", "restore sheet",
                                        "restore sheet"}));
    // Cells 0..n, a whole redraw inside the restore pass, then cells n+1..199.
    EXPECT_EQ(Count(fake.log, "blt back"), (n + 1) + 200 + (199 - n));
    EXPECT_EQ(Count(fake.log, kPresent), 2);
    // The sheet is loaded again from the resource after it was restored.
    EXPECT_EQ(fake.Entries("loadimage"), std::vector<std::string>{"loadimage resource IDB_TUMBLA"});
    // The inner pass is complete before the outer one goes on with cell n+1.
    auto it = std::find(fake.log.begin(), fake.log.end(), "restore sheet");
    auto present = std::find(it, fake.log.end(), std::string(kPresent));
    ASSERT_NE(present, fake.log.end());
    EXPECT_EQ(*(present + 1), "blt back (180,0,210,40) <- sheet (225,65,328,170)");
}

TEST_F(DisplayTest, ASurfaceThatStaysLostStillLetsDrawingReturn) {
    CreateAll();
    FakeSurface* primary = fake.Surface("primary");
    primary->lost = true;
    primary->restoreResult = DDERR_SURFACELOST;
    fake.Surface("back")->lost = true;
    DrawBoard();
    PresentBackBuffer();
    // Bounded: one nested pass per loss, so the call returns with a finite log.
    EXPECT_GT(Count(fake.log, "restore primary"), 0);
    EXPECT_LT(fake.log.size(), 200000u);
}

TEST_F(DisplayTest, LostScreenOnPresentRestoresAndRedrawsOnce) {
    CreateAll();
    fake.Surface("primary")->loseAfterBlits = 0;
    PresentBackBuffer();
    EXPECT_EQ(Count(fake.log, "restore primary"), 1);
    EXPECT_EQ(Count(fake.log, "blt back"), 200);
}

TEST_F(DisplayTest, ReleaseDisplayReleasesInOrderOnce) {
    ReleaseDisplay();  // before anything exists
    EXPECT_TRUE(fake.log.empty());
    CreateAll();
    ReleaseDisplay();
    EXPECT_EQ(fake.log, (std::vector<std::string>{"release primary", "release sheet",
                                                  "release palette", "release directdraw"}));
    EXPECT_EQ(directDraw, nullptr);
    EXPECT_EQ(primarySurface, nullptr);
    EXPECT_EQ(backBuffer, nullptr);
    EXPECT_EQ(spriteSheet, nullptr);
    EXPECT_EQ(sheetPalette, nullptr);

    fake.log.clear();
    ReleaseDisplay();
    gameState.points = 99;
    DrawBoard();
    DrawExplosionFrame(1, 0, 0);
    PresentBackBuffer();
    EXPECT_TRUE(fake.log.empty());
    EXPECT_EQ(fake.title, "Tumbla");
}

}  // namespace
