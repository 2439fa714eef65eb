// Whole games dealt from fixed seeds with random moves, on a platform that
// does nothing: the engine's invariants after every step, and not one heap
// allocation from the start of a game to its end.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/engine.h"
#include "engine/pieces.h"
#include "render/image_catalogue.h"
#include "scores/high_score_table.h"
#include "tests/support/allocation_counter.h"

namespace {

// The test's own dice, so that the moves do not disturb the dealer.
struct Dice {
    std::uint32_t state;
    int Roll(int sides) {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 16) % static_cast<std::uint32_t>(sides));
    }
};

struct Totals {
    long steps = 0;
    long pieces = 0;
    long lines = 0;
};

void StartGame(std::uint32_t seed) {
    Game.running = true;
    NewGame();
    Game.gameOver = false;
    SeedDealer(seed);  // the platform's clock stands still here; deal by seed
}

// Returns false (and says why) at the first broken invariant.
::testing::AssertionResult Healthy(int lastScore, int lastLines) {
    for (BlockImage cell : Game.board.cells)
        if (static_cast<int>(cell) < 0 || static_cast<int>(cell) > 5) return ::testing::AssertionFailure() << "bad cell";
    if (Game.pieceFalling) {
        for (std::int32_t cell : Game.activePiece.cells) {
            if (cell < 0 || cell >= BoardCells) return ::testing::AssertionFailure() << "cell " << cell;
            if (Game.board.cells[cell] != Game.activePiece.image)
                return ::testing::AssertionFailure() << "piece cell " << cell << " lost its image";
        }
    }
    if (Game.score < lastScore) return ::testing::AssertionFailure() << "score fell";
    if (Game.linesCleared < lastLines) return ::testing::AssertionFailure() << "lines fell";
    if (Game.level < 1 || Game.level > 30) return ::testing::AssertionFailure() << "level " << Game.level;
    if (Game.fallInterval < 40 || Game.fallInterval > 800)
        return ::testing::AssertionFailure() << "period " << Game.fallInterval;
    if (Game.rotationState % 4 != 0 || Game.rotationState < 0 || Game.rotationState > 12)
        return ::testing::AssertionFailure() << "rotation " << Game.rotationState;
    return ::testing::AssertionSuccess();
}

// Plays one game to its end: keys only while a piece falls, as the shell
// lets them through, and a tick in between. Returns false on a broken rule.
bool PlayGame(std::uint32_t seed, Totals& totals, bool check) {
    Dice dice{seed * 2654435761u};
    StartGame(seed);
    for (int step = 0; step < 20000; ++step) {
        const int lastScore = Game.score;
        const int lastLines = Game.linesCleared;
        const int roll = dice.Roll(10);
        if (roll < 6 && Game.pieceFalling) {
            switch (roll) {
                case 0: case 1: MoveLeft(); break;
                case 2: case 3: MoveRight(); break;
                case 4: Rotate(); break;
                default: Game.softDrop = true; MoveDown(); break;
            }
        } else {
            const bool spawning = !Game.pieceFalling;
            if (Tick() == 0) {
                Game.running = false;
                Game.gameOver = true;
                return true;
            }
            if (spawning) ++totals.pieces;
        }
        ++totals.steps;
        totals.lines += Game.linesCleared - lastLines;
        if (check) {
            ::testing::AssertionResult healthy = Healthy(lastScore, lastLines);
            if (!healthy) {
                ADD_FAILURE() << "seed " << seed << ", step " << step << ": " << healthy.message();
                return false;
            }
        }
    }
    ADD_FAILURE() << "seed " << seed << " never ended";
    return false;
}

class WholeGames : public ::testing::Test {
protected:
    void SetUp() override {
        Game = GameState{};
        LoadImages();
        BuildPieceTemplates();
        HighScores = HighScoreTable{};
    }
};

TEST_F(WholeGames, KeepTheirInvariants) {
    Totals totals;
    for (std::uint32_t seed = 1; seed <= 3000; ++seed)
        if (!PlayGame(seed, totals, true)) return;
    // The games must really be games: pieces landed and rows were removed.
    EXPECT_GT(totals.pieces, 3000 * 10);
    EXPECT_GT(totals.lines, 0);
    RecordProperty("steps", std::to_string(totals.steps));
}

TEST_F(WholeGames, ClimbToTheTopLevelAndStayThere) {
    // Rows removed by hand at every landing drive a game through all levels.
    StartGame(7);
    for (int lines = 0; lines < 320; lines += 4) {
        Game.linesCleared = lines;
        CheckLevel();
        ASSERT_TRUE(Healthy(0, 0));
    }
    EXPECT_EQ(Game.level, 30);
    EXPECT_EQ(Game.fallInterval, 40);
}

TEST_F(WholeGames, AllocateNothingFromNewGameToTheEnd) {
    Totals totals;
    StartCountingAllocations();
    for (std::uint32_t seed = 100; seed < 300; ++seed) PlayGame(seed, totals, false);
    EXPECT_EQ(StopCountingAllocations(), 0);
    EXPECT_GT(totals.pieces, 200 * 10);
}

}  // namespace
