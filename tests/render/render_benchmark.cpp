// The drawing layer's own cost per call, through a seam that does nothing:
// what remains is the walk over the layout, the cells and the formatting.
#include <benchmark/benchmark.h>

#include "engine/game_state.h"
#include "render/draw.h"
#include "render/image_catalogue.h"

namespace {

// A field in mid-game: the lower half filled with every block colour.
void FillLowerHalf() {
    for (int cell = BoardCells / 2; cell < BoardCells; ++cell)
        Game.board.cells[cell] = static_cast<BlockImage>(cell % 6);
}

void BM_DrawBoard(benchmark::State& state) {
    LoadImages();
    FillLowerHalf();
    for (auto _ : state) DrawBoard();
    state.SetItemsProcessed(state.iterations() * BoardCells);  // cell copies
    FreeImages();
}
BENCHMARK(BM_DrawBoard);

void BM_RedrawGameScreen(benchmark::State& state) {
    LoadImages();
    FillLowerHalf();
    Game.gameOver = false;
    Game.nextKind = 3;
    Game.score = 123456;
    Game.level = 12;
    Game.bestScoreShown = 98765;
    for (auto _ : state) RedrawGameScreen();
    FreeImages();
}
BENCHMARK(BM_RedrawGameScreen);

}  // namespace

BENCHMARK_MAIN();
