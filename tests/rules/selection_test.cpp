#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "display/display.h"
#include "rules/board.h"
#include "shell/app.h"
#include "tests/rules/board_text.h"
#include "tests/rules/fakes.h"

namespace {

const POINT kOrigin = {200, 150};

class Selection : public ::testing::Test {
protected:
    void SetUp() override {
        fakes::Reset();
        fakes::clientOrigin = kOrigin;
        ClearMarks();
        gameState.points = 0;
        gameState.tilesRemain = 0;
    }

    // As the window procedure does it: clear, then click at the cell's middle.
    static void ClickCell(int x, int y) {
        fakes::cursor = {kOrigin.x + x * CELL_WIDTH + 15, kOrigin.y + y * CELL_HEIGHT + 20};
        ClearMarks();
        OnBoardClick();
    }

    static int MarkedCount() {
        int count = 0;
        for (int cell = 0; cell < BOARD_CELLS; ++cell) count += gameState.marks[cell];
        return count;
    }

    // A pair of kind 4 in the right-hand column that no small removal touches,
    // so the game goes on and the end-of-game flow stays out of the picture.
    static void KeepAMove() {
        gameState.board[CELL_INDEX(19, 8)] = 4;
        gameState.board[CELL_INDEX(19, 9)] = 4;
    }
};

// Runs of GetTickCount shown as one entry with their length, so sequences
// stay readable.
std::vector<std::string> Collapsed(const std::vector<std::string>& texts) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < texts.size()) {
        if (texts[i] != "GetTickCount") {
            out.push_back(texts[i++]);
            continue;
        }
        size_t run = 0;
        while (i < texts.size() && texts[i] == "GetTickCount") ++i, ++run;
        out.push_back("GetTickCount x" + std::to_string(run));
    }
    return out;
}

// The same-kind group of (x, y) by breadth-first search: an independent
// account of which tiles a click must take.
std::string FloodFillMarks(int x0, int y0) {
    std::vector<bool> in(BOARD_CELLS, false);
    const CellKind kind = gameState.board[CELL_INDEX(x0, y0)];
    std::vector<std::pair<int, int>> queue = {{x0, y0}};
    in[CELL_INDEX(x0, y0)] = true;
    for (size_t i = 0; i < queue.size(); ++i) {
        const auto [x, y] = queue[i];
        const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const auto& step : steps) {
            const int nx = x + step[0];
            const int ny = y + step[1];
            if (nx < 0 || nx >= BOARD_COLUMNS || ny < 0 || ny >= BOARD_ROWS) continue;
            const int cell = CELL_INDEX(nx, ny);
            if (in[cell] || gameState.board[cell] != kind) continue;
            in[cell] = true;
            queue.push_back({nx, ny});
        }
    }
    std::string text;
    for (int y = 0; y < BOARD_ROWS; ++y) {
        if (y != 0) text += '\n';
        for (int x = 0; x < BOARD_COLUMNS; ++x) text += in[CELL_INDEX(x, y)] ? '#' : '.';
    }
    return text;
}

const std::string kNoMarks = Rows({
    "....................",
    "....................",
    "....................",
    "....................",
    "....................",
    "....................",
    "....................",
    "....................",
    "....................",
    "....................",
});

}  // namespace

TEST_F(Selection, TileWithoutPartnerIsNoMove) {
    FillWithoutMoves();
    gameState.board[CELL_INDEX(5, 5)] = 4;
    gameState.points = 40;
    const std::string before = BoardText();
    ClickCell(5, 5);
    EXPECT_EQ(fakes::Texts(), (std::vector<std::string>{"GetCursorPos", "ClientToScreen"}));
    EXPECT_EQ(fakes::clientToScreenWindow, mainWindow);
    EXPECT_EQ(BoardText(), before);
    EXPECT_EQ(MarkText(), kNoMarks);
    EXPECT_EQ(gameState.points, 40);
}

TEST_F(Selection, EmptyCellIsNeverAMove) {
    struct Case {
        const char* name;
        void (*setUp)();
    };
    const Case cases[] = {
        {"empty board", [] { FillBoard(EMPTY_CELL); }},
        {"empty beside empty, tiles around",
         [] {
             FillBoard(2);
             gameState.board[CELL_INDEX(7, 4)] = EMPTY_CELL;
             gameState.board[CELL_INDEX(7, 3)] = EMPTY_CELL;
         }},
        {"lone empty among one kind",
         [] {
             FillBoard(2);
             gameState.board[CELL_INDEX(7, 4)] = EMPTY_CELL;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fakes::Reset();
        fakes::clientOrigin = kOrigin;
        c.setUp();
        const std::string before = BoardText();
        ClickCell(7, 4);
        EXPECT_EQ(fakes::Texts(), (std::vector<std::string>{"GetCursorPos", "ClientToScreen"}));
        EXPECT_EQ(BoardText(), before);
        EXPECT_EQ(MarkText(), kNoMarks);
        EXPECT_EQ(gameState.points, 0);
    }
}

TEST_F(Selection, APartnerInAnyDirectionMakesAMove) {
    struct Case {
        int x, y, partnerX, partnerY;
    };
    const Case cases[] = {
        {0, 0, 1, 0},   {19, 9, 18, 9}, {19, 0, 19, 1}, {0, 9, 0, 8},
        {10, 5, 11, 5}, {10, 5, 9, 5},  {10, 5, 10, 6}, {10, 5, 10, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.x << "," << c.y << " with " << c.partnerX << "," << c.partnerY);
        fakes::Reset();
        fakes::clientOrigin = kOrigin;
        backBuffer = nullptr;  // keeps the marks for inspection
        FillWithoutMoves();
        gameState.board[CELL_INDEX(c.x, c.y)] = 4;
        gameState.board[CELL_INDEX(c.partnerX, c.partnerY)] = 4;
        ClickCell(c.x, c.y);
        EXPECT_EQ(MarkedCount(), 2);
        EXPECT_EQ(gameState.marks[CELL_INDEX(c.x, c.y)], 1);
        EXPECT_EQ(gameState.marks[CELL_INDEX(c.partnerX, c.partnerY)], 1);
    }
}

TEST_F(Selection, GroupGrowsAlongEdgesOnlyAndInEveryDirection) {
    // A spiral clicked at its inner end, so the growth has to run up and to
    // the left against the scan order; the stray tiles touch it only at corners.
    const std::string spiral = Rows({
        "....................",
        ".#####..............",
        ".#...#..............",
        ".#.#.#..............",
        ".#.###..............",
        ".#..................",
        ".######.............",
        "....................",
        "....................",
        "....................",
    });
    const std::string cornerTouching = Rows({
        "#.....#.............",
        "....................",
        "....................",
        "....................",
        "....................",
        ".......#............",
        "....................",
        "#......#............",
        "....................",
        "....................",
    });
    backBuffer = nullptr;
    FillWithoutMoves();
    PlaceKind(spiral, 4);
    PlaceKind(cornerTouching, 4);
    ClickCell(3, 3);
    EXPECT_EQ(MarkText(), spiral);
}

TEST_F(Selection, ColumnBottomAndNextColumnTopNeverJoin) {
    backBuffer = nullptr;
    FillWithoutMoves();
    for (int y : {7, 8, 9}) gameState.board[CELL_INDEX(3, y)] = 4;
    gameState.board[CELL_INDEX(4, 0)] = 4;
    gameState.board[CELL_INDEX(4, 1)] = 4;

    ClickCell(3, 8);
    for (int y : {7, 8, 9}) EXPECT_EQ(gameState.marks[CELL_INDEX(3, y)], 1) << y;
    EXPECT_EQ(MarkedCount(), 3);

    ClickCell(4, 0);
    EXPECT_EQ(gameState.marks[CELL_INDEX(4, 0)], 1);
    EXPECT_EQ(gameState.marks[CELL_INDEX(4, 1)], 1);
    EXPECT_EQ(MarkedCount(), 2);

    // With only the storage neighbour alike, the bottom tile has no partner.
    FillWithoutMoves();
    gameState.board[CELL_INDEX(12, 9)] = 4;
    gameState.board[CELL_INDEX(13, 0)] = 4;
    fakes::Reset();
    fakes::clientOrigin = kOrigin;
    ClickCell(12, 9);
    ClickCell(13, 0);
    EXPECT_EQ(MarkedCount(), 0);
    EXPECT_EQ(fakes::Texts().size(), 4u);
}

TEST_F(Selection, MarksMatchAFloodFillOnRandomBoards) {
    std::mt19937 random(20240601);
    backBuffer = nullptr;
    for (int board = 0; board < 40; ++board) {
        NewGameFromSeed(static_cast<uint32_t>(board));
        // Some holes too, so empty neighbours are part of the picture.
        const int holes = board % 4 == 0 ? 0 : static_cast<int>(random() % 60);
        for (int i = 0; i < holes; ++i) gameState.board[random() % BOARD_CELLS] = EMPTY_CELL;
        for (int x = 0; x < BOARD_COLUMNS; ++x) {
            for (int y = 0; y < BOARD_ROWS; ++y) {
                ClickCell(x, y);
                const std::string expected = FloodFillMarks(x, y);
                const bool move = gameState.board[CELL_INDEX(x, y)] != EMPTY_CELL &&
                                  std::count(expected.begin(), expected.end(), '#') >= 2;
                ASSERT_EQ(MarkText(), move ? expected : kNoMarks)
                    << "board " << board << " click " << x << "," << y;
            }
        }
    }
}

TEST_F(Selection, ClickOffsetsToCells) {
    struct Case {
        int dx, dy;
        int column, row;  // -1: outside the board, ignored
    };
    const Case cases[] = {
        {0, 0, 0, 0},      {-1, -1, 0, 0},     {-29, -39, 0, 0},    {29, 39, 0, 0},
        {30, 40, 1, 1},    {-29, 399, 0, 9},   {599, -39, 19, 0},   {599, 399, 19, 9},
        {315, 205, 10, 5}, {-30, 0, -1, -1},   {0, -40, -1, -1},    {600, 0, -1, -1},
        {0, 400, -1, -1},  {-45, 200, -1, -1}, {100000, 5, -1, -1}, {5, -100000, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "offset " << c.dx << "," << c.dy);
        fakes::Reset();
        fakes::clientOrigin = kOrigin;
        fakes::cursor = {kOrigin.x + c.dx, kOrigin.y + c.dy};
        backBuffer = nullptr;
        if (c.column < 0) {
            // Any cell of this board would be a move, so only a click that is
            // ignored leaves no marks.
            FillBoard(1);
            ClearMarks();
            OnBoardClick();
            EXPECT_EQ(MarkedCount(), 0);
            EXPECT_EQ(fakes::Texts(), (std::vector<std::string>{"GetCursorPos", "ClientToScreen"}));
            continue;
        }
        // One pair across and one pair down share only the expected cell.
        const int across = c.column < 19 ? c.column + 1 : c.column - 1;
        const int down = c.row < 9 ? c.row + 1 : c.row - 1;
        for (const auto& partner : {std::pair{across, c.row}, std::pair{c.column, down}}) {
            FillWithoutMoves();
            gameState.board[CELL_INDEX(c.column, c.row)] = 4;
            gameState.board[CELL_INDEX(partner.first, partner.second)] = 4;
            ClearMarks();
            OnBoardClick();
            EXPECT_EQ(MarkedCount(), 2);
            EXPECT_EQ(gameState.marks[CELL_INDEX(c.column, c.row)], 1);
        }
    }
}

TEST_F(Selection, PointsForEachGroupSize) {
    const int expected[][2] = {{2, 10}, {3, 20}, {4, 25}, {5, 35}, {6, 40}, {7, 55}, {8, 60}};
    for (const auto& [size, points] : expected) {
        SCOPED_TRACE(testing::Message() << "group of " << size);
        fakes::Reset();
        fakes::clientOrigin = kOrigin;
        FillWithoutMoves();
        KeepAMove();
        for (int x = 0; x < size; ++x) gameState.board[CELL_INDEX(x, 9)] = 4;
        gameState.points = 100;
        ClickCell(size - 1, 9);
        EXPECT_EQ(gameState.points, 100 + points);
        for (int x = 0; x < size; ++x) {
            EXPECT_NE(gameState.board[CELL_INDEX(x, 9)], 4) << x;
            EXPECT_EQ(gameState.board[CELL_INDEX(x, 0)], EMPTY_CELL) << x;
        }
        const std::vector<std::string> texts = fakes::Texts();
        EXPECT_EQ(std::count(texts.begin(), texts.end(), "PresentBackBuffer"), 5);
        EXPECT_EQ(std::find(texts.begin(), texts.end(), "DrawBoard"), texts.end());
    }
}

TEST_F(Selection, ExplosionSequence) {
    FillWithoutMoves();
    KeepAMove();
    // Row by row this group reads (3,2) (4,2) (3,3); column by column it would not.
    gameState.board[CELL_INDEX(3, 2)] = 4;
    gameState.board[CELL_INDEX(4, 2)] = 4;
    gameState.board[CELL_INDEX(3, 3)] = 4;
    ClickCell(3, 3);

    std::vector<std::string> expected = {"GetCursorPos", "ClientToScreen", "PlayExplodeSound"};
    for (int frame = 0; frame < 5; ++frame) {
        const std::string f = std::to_string(frame);
        for (const char* cell : {" 3 2", " 4 2", " 3 3"}) {
            expected.push_back("DrawExplosionFrame " + f + cell);
        }
        expected.push_back("GetTickCount x9");
        expected.push_back("PresentBackBuffer");
    }
    EXPECT_EQ(Collapsed(fakes::Texts()), expected);

    // The sound starts with the group marked; the tile points are in before
    // the first frame is shown, the bonus only after the last.
    EXPECT_EQ(fakes::log[2].marked, 3);
    EXPECT_EQ(fakes::log[2].points, 0);
    for (const fakes::Call& call : fakes::log) {
        if (call.text == "PresentBackBuffer") {
            EXPECT_EQ(call.points, 15);
            EXPECT_EQ(call.marked, 3);
        }
    }
    EXPECT_EQ(gameState.points, 20);
    EXPECT_EQ(MarkText(), kNoMarks);
}

TEST_F(Selection, CellsAreEmptyBeforeTheFirstFrameIsShown) {
    FillWithoutMoves();
    KeepAMove();
    gameState.board[CELL_INDEX(8, 9)] = 4;
    gameState.board[CELL_INDEX(8, 8)] = 4;
    ClickCell(8, 9);
    ASSERT_TRUE(fakes::presented);
    EXPECT_EQ(fakes::boardAtFirstPresent[CELL_INDEX(8, 9)], EMPTY_CELL);
    EXPECT_EQ(fakes::boardAtFirstPresent[CELL_INDEX(8, 8)], EMPTY_CELL);
    // Not yet settled: the column above the holes is still where it was.
    EXPECT_EQ(fakes::boardAtFirstPresent[CELL_INDEX(8, 0)], (8 + 0) % 4);
}

TEST_F(Selection, EachFrameWaitsUntilMoreThanFiftyTicksHavePassed) {
    struct Case {
        DWORD start, step;
        size_t readsPerFrame;  // the start reading included
    };
    const Case cases[] = {
        {1000, 7, 9},  {0xFFFFFFF0u, 7, 9},   // wraps within the first frame
        {1000, 10, 7}, {0xFFFFFFE2u, 10, 7},  // exactly 50 is not yet enough
        {0, 1, 52},    {0xFFFFFFFFu, 1, 52}, {0, 50, 3}, {0, 51, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "start " << c.start << " step " << c.step);
        fakes::Reset();
        fakes::clientOrigin = kOrigin;
        fakes::tickNow = c.start;
        fakes::tickStep = c.step;
        FillWithoutMoves();
        KeepAMove();
        gameState.board[CELL_INDEX(6, 6)] = 4;
        gameState.board[CELL_INDEX(7, 6)] = 4;
        ClickCell(6, 6);

        std::vector<size_t> reads;
        size_t run = 0;
        for (const std::string& text : fakes::Texts()) {
            if (text == "GetTickCount") ++run;
            if (text == "PresentBackBuffer") reads.push_back(run), run = 0;
        }
        EXPECT_EQ(reads, std::vector<size_t>(5, c.readsPerFrame));
        EXPECT_EQ(run, 0u);
        EXPECT_EQ(fakes::tickReads.size(), 5 * c.readsPerFrame);
    }
}

TEST_F(Selection, SingleKindBoardClearsInOneMove) {
    FillBoard(2);
    gameState.points = 0;
    ClickCell(5, 5);

    const std::vector<std::string> texts = fakes::Texts();
    // The sound comes before any frame.
    const auto sound = std::find(texts.begin(), texts.end(), "PlayExplodeSound");
    const auto firstFrame = std::find(texts.begin(), texts.end(), "DrawExplosionFrame 0 0 0");
    ASSERT_NE(sound, texts.end());
    ASSERT_NE(firstFrame, texts.end());
    EXPECT_LT(sound, firstFrame);

    // Every frame covers all 200 cells in reading order.
    size_t i = static_cast<size_t>(firstFrame - texts.begin());
    for (int frame = 0; frame < 5; ++frame) {
        for (int y = 0; y < BOARD_ROWS; ++y) {
            for (int x = 0; x < BOARD_COLUMNS; ++x) {
                ASSERT_LT(i, texts.size());
                ASSERT_EQ(texts[i++], "DrawExplosionFrame " + std::to_string(frame) + " " +
                                          std::to_string(x) + " " + std::to_string(y));
            }
        }
        while (i < texts.size() && texts[i] == "GetTickCount") ++i;
        ASSERT_LT(i, texts.size());
        ASSERT_EQ(texts[i++], "PresentBackBuffer");
    }

    // Then the cleared board ends the game, scored 1000 + 20.
    const std::vector<std::string> rest(texts.begin() + static_cast<long>(i), texts.end());
    ASSERT_EQ(rest, (std::vector<std::string>{"DrawBoard", "RecordHighScore",
                                              "MessageBoxA Game Over - Play again ?|Tumbla|36",
                                              "DrawBoard"}));
    const fakes::Call& record = fakes::log[i + 1];
    EXPECT_EQ(record.points, 1020);
    EXPECT_EQ(record.tilesRemain, 0);
    EXPECT_EQ(record.marked, 0);
}

TEST_F(Selection, WithoutBackBufferTheGroupStaysMarkedAndNothingIsRemoved) {
    backBuffer = nullptr;
    FillWithoutMoves();
    gameState.board[CELL_INDEX(2, 2)] = 4;
    gameState.board[CELL_INDEX(2, 3)] = 4;
    gameState.board[CELL_INDEX(3, 3)] = 4;
    gameState.points = 40;
    const std::string before = BoardText();
    ClickCell(2, 2);
    EXPECT_EQ(fakes::Texts(),
              (std::vector<std::string>{"GetCursorPos", "ClientToScreen", "PlayExplodeSound"}));
    EXPECT_EQ(BoardText(), before);
    EXPECT_EQ(gameState.points, 40);
    EXPECT_EQ(MarkedCount(), 3);
    EXPECT_EQ(gameState.marks[CELL_INDEX(3, 3)], 1);
}

TEST_F(Selection, RemovalSettlesTheBoardAndClearsTheMarks) {
    FillBoard(EMPTY_CELL);
    SetColumn(0, "........33");
    SetColumn(1, ".....01201");
    SetColumn(2, "......2100");
    ClickCell(0, 9);
    EXPECT_EQ(ColumnText(0), ".....01201");
    EXPECT_EQ(ColumnText(1), "......2100");
    for (int x = 2; x < BOARD_COLUMNS; ++x) EXPECT_EQ(ColumnText(x), "..........") << x;
    EXPECT_EQ(MarkText(), kNoMarks);
    EXPECT_EQ(gameState.points, 10);
    EXPECT_EQ(fakes::log.back().text, "PresentBackBuffer");
}
