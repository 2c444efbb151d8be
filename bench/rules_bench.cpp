// The two costliest paths of the rules: growing the largest possible group by
// whole-board scans, and settling the board that needs the most shifting.
#include <benchmark/benchmark.h>

#include <cstring>

#include "display/display.h"
#include "rules/board.h"
#include "tests/rules/fakes.h"

namespace {

void QuietFakes() {
    fakes::Reset();
    fakes::logging = false;
    // Every reading is past the frame hold, so the animation costs no waiting.
    fakes::tickStep = 100;
    fakes::cursor = {5 * CELL_WIDTH + 15, 5 * CELL_HEIGHT + 20};
}

void FillSingleKind() {
    for (int cell = 0; cell < BOARD_CELLS; ++cell) gameState.board[cell] = 2;
}

// A whole move on a single-kind board: 200 scans to mark the group, five
// frames over 200 cells, settling an empty board, the end test and a new deal
// (the fake question box answers Yes).
void BM_ClickSingleKindBoard(benchmark::State& state) {
    QuietFakes();
    for (auto _ : state) {
        FillSingleKind();
        ClearMarks();
        OnBoardClick();
        benchmark::DoNotOptimize(gameState.points);
    }
}
BENCHMARK(BM_ClickSingleKindBoard);

// The group growth alone: without a back buffer the move stops once the group
// is marked.
void BM_MarkSingleKindGroup(benchmark::State& state) {
    QuietFakes();
    backBuffer = nullptr;
    FillSingleKind();
    for (auto _ : state) {
        ClearMarks();
        OnBoardClick();
        benchmark::DoNotOptimize(gameState.marks);
    }
}
BENCHMARK(BM_MarkSingleKindGroup);

// Columns 0 to 18 empty, so the closing passes shift the most; column 19 has
// its one tile at the top, so the fall shifts every cell of every column as
// far as it can. The copy of the board into place is part of each iteration.
void BM_SettleWorstCase(benchmark::State& state) {
    QuietFakes();
    Board worst;
    for (int cell = 0; cell < BOARD_CELLS; ++cell) worst[cell] = EMPTY_CELL;
    worst[CELL_INDEX(19, 0)] = 3;
    for (auto _ : state) {
        std::memcpy(gameState.board, worst, sizeof(Board));
        SettleBoard();
        benchmark::DoNotOptimize(gameState.board);
    }
}
BENCHMARK(BM_SettleWorstCase);

// A fresh random deal, for comparison with the other two.
void BM_NewGameFromSeed(benchmark::State& state) {
    uint32_t seed = 1;
    for (auto _ : state) {
        NewGameFromSeed(seed++);
        benchmark::DoNotOptimize(gameState.board);
    }
}
BENCHMARK(BM_NewGameFromSeed);

}  // namespace

BENCHMARK_MAIN();
