// The engine's own cost per operation, on a platform that does nothing: no
// drawing, no sound, no timer behind the calls.
#include <benchmark/benchmark.h>

#include <cstring>

#include "engine/engine.h"
#include "engine/pieces.h"
#include "render/image_catalogue.h"

namespace {

// With `drawing` false the catalogue stays unloaded, so every drawing call
// returns at once: what is left is the rules' own cost.
void FreshGame(bool drawing = true) {
    Game = GameState{};
    if (drawing)
        LoadImages();
    else
        FreeImages();
    BuildPieceTemplates();
    Game.gameOver = false;
    Game.running = true;
}

void SpawnKind(int kind) {
    Game.pieceFalling = false;
    Game.currentKind = 0;
    Game.nextKind = kind;
    Tick();
}

// Left and right in turn, so the piece never reaches a wall: every call moves.
void BM_MoveLeftRight(benchmark::State& state) {
    FreshGame();
    SpawnKind(2);
    for (auto _ : state) {
        benchmark::DoNotOptimize(MoveLeft());
        benchmark::DoNotOptimize(MoveRight());
    }
    state.SetItemsProcessed(2 * state.iterations());
}
BENCHMARK(BM_MoveLeftRight);

void BM_Rotate(benchmark::State& state) {
    FreshGame();
    SpawnKind(0);
    for (int i = 0; i < 5; ++i) MoveDown();
    for (auto _ : state) benchmark::DoNotOptimize(Rotate());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Rotate);

// A standing bar resting on the floor beside four rows that lack one block:
// the tick lands it and removes all four rows. The position is restored
// before every tick (a copy of the game record, about 900 bytes).
void BM_TickLandingFourRows(benchmark::State& state) {
    FreshGame(state.range(0) != 0);
    SpawnKind(5);
    MoveDown();
    Rotate();  // standing in column 5
    for (int i = 0; i < 5; ++i) MoveLeft();
    while (MoveDown()) {
    }
    for (int row = 14; row < 18; ++row)
        for (int column = 1; column < 10; ++column) Game.board.cells[row * 10 + column] = BlockImage::Red;
    const GameState before = Game;
    for (auto _ : state) {
        std::memcpy(static_cast<void*>(&Game), &before, sizeof Game);
        benchmark::DoNotOptimize(Tick());
    }
    if (Game.linesCleared != 4) state.SkipWithError("the tick did not remove four rows");
    state.SetItemsProcessed(state.iterations());
}
// Argument 1: with the ten full-field redraws the landing makes (1800 image
// copies through the seam); 0: the rules alone.
BENCHMARK(BM_TickLandingFourRows)->Arg(1)->Arg(0);

void BM_CopyGameRecord(benchmark::State& state) {
    FreshGame();
    const GameState before = Game;
    for (auto _ : state) {
        std::memcpy(static_cast<void*>(&Game), &before, sizeof Game);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyGameRecord);

void BM_NewGame(benchmark::State& state) {
    FreshGame();
    for (auto _ : state) NewGame();
}
BENCHMARK(BM_NewGame);

}  // namespace

BENCHMARK_MAIN();
