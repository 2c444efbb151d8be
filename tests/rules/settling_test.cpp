#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "rules/board.h"
#include "shell/app.h"
#include "tests/rules/board_text.h"
#include "tests/rules/fakes.h"

namespace {

const char* const kQuestion = "MessageBoxA Game Over - Play again ?|Tumbla|36";

class Settling : public ::testing::Test {
protected:
    void SetUp() override {
        fakes::Reset();
        ClearMarks();
        gameState.points = 0;
        gameState.tilesRemain = 0;
    }
};

class EndOfGame : public Settling {};

// Where each column's tiles must end up, worked out independently: the
// non-empty columns in their order, each with its tiles at the bottom in
// their order, and empty columns after them.
std::string SettledByModel() {
    std::vector<std::string> columns;
    for (int x = 0; x < BOARD_COLUMNS; ++x) {
        std::string tiles;
        for (char c : ColumnText(x)) {
            if (c != '.') tiles += c;
        }
        if (!tiles.empty()) columns.push_back(std::string(BOARD_ROWS - tiles.size(), '.') + tiles);
    }
    while (columns.size() < BOARD_COLUMNS) columns.push_back(std::string(BOARD_ROWS, '.'));
    std::string text;
    for (int y = 0; y < BOARD_ROWS; ++y) {
        if (y != 0) text += '\n';
        for (int x = 0; x < BOARD_COLUMNS; ++x) text += columns[x][y];
    }
    return text;
}

// Fills every column with a recognisable pattern of tiles, none empty.
void FillDistinctColumns() {
    for (int x = 0; x < BOARD_COLUMNS; ++x) {
        for (int y = 0; y < BOARD_ROWS; ++y) {
            gameState.board[CELL_INDEX(x, y)] = (x * 3 + y * y) % 5;
        }
    }
}

bool SameDeal(const std::string& board, uint32_t from, uint32_t to) {
    for (uint32_t seed = from; seed != to + 1; ++seed) {
        Board kept;
        std::copy(std::begin(gameState.board), std::end(gameState.board), kept);
        NewGameFromSeed(seed);
        const bool same = BoardText() == board;
        std::copy(std::begin(kept), std::end(kept), gameState.board);
        if (same) return true;
    }
    return false;
}

}  // namespace

TEST_F(Settling, TilesFallInTheirOrder) {
    FillDistinctColumns();
    SetColumn(7, ".1.2.3..4.");
    SettleBoard();
    const std::string settled = BoardText();
    EXPECT_EQ(ColumnText(7), "......1234");
    // Nothing else moved.
    FillDistinctColumns();
    SetColumn(7, "......1234");
    EXPECT_EQ(settled, BoardText());
}

TEST_F(Settling, EmptyColumnCloses) {
    FillDistinctColumns();
    SetColumn(4, "..........");
    const std::string expected = SettledByModel();
    std::vector<std::string> right;
    for (int x = 5; x < BOARD_COLUMNS; ++x) right.push_back(ColumnText(x));
    SettleBoard();
    for (int x = 4; x < BOARD_COLUMNS - 1; ++x) EXPECT_EQ(ColumnText(x), right[x - 4]) << x;
    EXPECT_EQ(ColumnText(19), "..........");
    EXPECT_EQ(BoardText(), expected);
}

TEST_F(Settling, LastColumnAloneMovesToTheLeftEdge) {
    FillBoard(EMPTY_CELL);
    SetColumn(19, "1.2.3.4.0.");
    SettleBoard();
    EXPECT_EQ(ColumnText(0), ".....12340");
    for (int x = 1; x < BOARD_COLUMNS; ++x) EXPECT_EQ(ColumnText(x), "..........") << x;
}

TEST_F(Settling, SeveralRunsCloseTogether) {
    FillDistinctColumns();
    for (int x : {0, 3, 4, 8, 9, 10, 11, 12, 18}) SetColumn(x, "..........");
    SetColumn(6, "4.........");  // falls, and keeps its column non-empty
    const std::string expected = SettledByModel();
    SettleBoard();
    EXPECT_EQ(BoardText(), expected);
    for (int x = 11; x < BOARD_COLUMNS; ++x) EXPECT_EQ(ColumnText(x), "..........") << x;
    EXPECT_NE(ColumnText(10), "..........");
}

TEST_F(Settling, SettledAndEmptyBoardsStayAsTheyAre) {
    FillDistinctColumns();
    SetColumn(2, "......1234");
    SetColumn(17, ".........0");
    for (int x : {18, 19}) SetColumn(x, "..........");
    const std::string settled = BoardText();
    SettleBoard();
    EXPECT_EQ(BoardText(), settled);

    FillBoard(EMPTY_CELL);
    const std::string empty = BoardText();
    SettleBoard();
    EXPECT_EQ(BoardText(), empty);
}

TEST_F(Settling, RandomBoardsSettleAsModelled) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 2000; ++trial) {
        // Columns wholly empty in long and short runs, and holes at any density.
        const unsigned emptyColumnChance = random() % 100;
        const unsigned holeChance = random() % 100;
        for (int x = 0; x < BOARD_COLUMNS; ++x) {
            const bool emptyColumn = random() % 100 < emptyColumnChance;
            for (int y = 0; y < BOARD_ROWS; ++y) {
                const bool hole = emptyColumn || random() % 100 < holeChance;
                gameState.board[CELL_INDEX(x, y)] =
                    hole ? EMPTY_CELL : static_cast<CellKind>(random() % 5);
            }
        }
        const std::string before = BoardText();
        const std::string expected = SettledByModel();
        SettleBoard();
        ASSERT_EQ(BoardText(), expected) << "trial " << trial << " from\n" << before;
    }
}

TEST_F(Settling, SettlingDrawsNothing) {
    FillBoard(EMPTY_CELL);
    SetColumn(5, "1.........");
    SettleBoard();
    EXPECT_TRUE(fakes::log.empty());
}

TEST_F(EndOfGame, TheGameGoesOnWhileTwoTouchingTilesMatch) {
    struct Case {
        int x1, y1, x2, y2;
    };
    const Case cases[] = {
        {0, 0, 0, 1}, {19, 8, 19, 9}, {0, 9, 1, 9}, {18, 0, 19, 0}, {7, 4, 8, 4}, {7, 4, 7, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2);
        for (const bool crowded : {false, true}) {
            fakes::Reset();
            if (crowded) {
                FillWithoutMoves();
            } else {
                FillBoard(EMPTY_CELL);
            }
            gameState.board[CELL_INDEX(c.x1, c.y1)] = 4;
            gameState.board[CELL_INDEX(c.x2, c.y2)] = 4;
            const std::string before = BoardText();
            gameState.points = 70;
            CheckForMoves();
            EXPECT_TRUE(fakes::log.empty());
            EXPECT_EQ(BoardText(), before);
            EXPECT_EQ(gameState.points, 70);
        }
    }
}

TEST_F(EndOfGame, NoMoveLeftEndsTheGame) {
    struct Case {
        const char* name;
        void (*setUp)();
        int32_t tilesRemain;
    };
    const Case cases[] = {
        {"cleared board", [] { FillBoard(EMPTY_CELL); }, 0},
        {"one tile",
         [] {
             FillBoard(EMPTY_CELL);
             gameState.board[CELL_INDEX(19, 9)] = 3;
         },
         1},
        {"touching only at a corner",
         [] {
             FillBoard(EMPTY_CELL);
             gameState.board[CELL_INDEX(5, 5)] = 2;
             gameState.board[CELL_INDEX(6, 6)] = 2;
             gameState.board[CELL_INDEX(6, 4)] = 2;
         },
         1},
        {"bottom of one column, top of the next",
         [] {
             FillBoard(EMPTY_CELL);
             gameState.board[CELL_INDEX(3, 9)] = 1;
             gameState.board[CELL_INDEX(4, 0)] = 1;
         },
         1},
        {"full board without a pair", [] { FillWithoutMoves(); }, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fakes::Reset();
        c.setUp();
        gameState.tilesRemain = 1 - c.tilesRemain;  // must be reset, then found
        CheckForMoves();
        ASSERT_GE(fakes::log.size(), 2u);
        EXPECT_EQ(fakes::log[0].text, "DrawBoard");
        EXPECT_EQ(fakes::log[1].text, "RecordHighScore");
        EXPECT_EQ(fakes::log[1].tilesRemain, c.tilesRemain);
    }
}

TEST_F(EndOfGame, AnswerYesDealsAnewAndDrawsAgain) {
    FillBoard(EMPTY_CELL);
    gameState.board[CELL_INDEX(0, 9)] = 2;
    gameState.points = 345;
    gameState.marks[33] = 1;  // left by an earlier click without a back buffer
    const uint32_t before = static_cast<uint32_t>(time(nullptr));
    CheckForMoves();
    const uint32_t after = static_cast<uint32_t>(time(nullptr));

    EXPECT_EQ(fakes::Texts(),
              (std::vector<std::string>{"DrawBoard", "RecordHighScore", kQuestion, "DrawBoard"}));
    EXPECT_EQ(fakes::messageBoxOwner, mainWindow);
    // The final board is shown with the score so far; the redraw after the
    // answer shows the new game.
    EXPECT_EQ(fakes::log[0].points, 345);
    EXPECT_EQ(fakes::log[1].points, 345);
    EXPECT_EQ(fakes::log[3].points, 0);
    EXPECT_EQ(fakes::log[3].marked, 0);
    EXPECT_EQ(fakes::log[3].tilesRemain, 0);
    EXPECT_EQ(gameState.points, 0);
    EXPECT_TRUE(SameDeal(BoardText(), before, after));
}

TEST_F(EndOfGame, AnyAnswerButNoPlaysOn) {
    // 0 is what a box that could not be shown returns.
    for (int answer : {IDYES, 0, IDCANCEL, IDOK}) {
        SCOPED_TRACE(answer);
        fakes::Reset();
        fakes::messageBoxAnswer = answer;
        FillBoard(EMPTY_CELL);
        gameState.points = 20;
        CheckForMoves();
        EXPECT_EQ(fakes::Texts(), (std::vector<std::string>{"DrawBoard", "RecordHighScore",
                                                            kQuestion, "DrawBoard"}));
        EXPECT_EQ(gameState.points, 0);
        for (int cell = 0; cell < BOARD_CELLS; ++cell) {
            ASSERT_NE(gameState.board[cell], EMPTY_CELL);
        }
    }
}

TEST_F(EndOfGame, AnswerNoEndsTheProcessAtOnce) {
    FillBoard(EMPTY_CELL);
    fakes::messageBoxAnswer = IDNO;
    fakes::echoToStderr = true;
    // Nothing may follow the question: the calls logged to stderr must end there.
    EXPECT_EXIT(
        CheckForMoves(), ::testing::ExitedWithCode(0),
        "DrawBoard\nRecordHighScore\nMessageBoxA Game Over - Play again [?][|]Tumbla[|]36\n$");
}
