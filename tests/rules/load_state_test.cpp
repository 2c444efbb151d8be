// Its own program: nothing may run before it looks at the state as loaded.
#include <gtest/gtest.h>

#include "rules/board.h"
#include "rules/random.h"

TEST(LoadedState, IsAllBananasWithNoScoreAndAnUnwrittenTitle) {
    for (int cell = 0; cell < BOARD_CELLS; ++cell) {
        ASSERT_EQ(gameState.board[cell], 0) << cell;
        ASSERT_EQ(gameState.marks[cell], 0) << cell;
    }
    EXPECT_EQ(gameState.points, 0);
    EXPECT_EQ(gameState.tilesRemain, 0);
    EXPECT_EQ(gameState.lastShownPoints, -1);
    EXPECT_EQ(deal::randomState, 1u);
    // Drawing from the unseeded state continues the seed-1 sequence.
    EXPECT_EQ(deal::rand(), 41);
}
