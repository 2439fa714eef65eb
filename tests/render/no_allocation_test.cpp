// Drawing never allocates: every screen, box and page is drawn through a seam
// that does nothing while every operator new is counted.
#include <gtest/gtest.h>

#include "engine/game_state.h"
#include "render/draw.h"
#include "render/image_catalogue.h"
#include "scores/high_score_page.h"
#include "scores/high_score_table.h"
#include "shell/shell_state.h"
#include "tests/support/allocation_counter.h"

namespace {

TEST(Drawing, AllocatesNothingInAnyScreenMode) {
    LoadImages();
    for (HighScoreEntry& entry : HighScores.entries) entry = HighScoreEntry{"Unknown", -2147483647 - 1, 30, 999};
    Game.score = -2147483647 - 1;
    Game.gameOver = false;
    Game.nextKind = 6;
    Game.board.cells[100] = BlockImage::Red;

    StartCountingAllocations();
    for (ScreenMode mode : {ScreenMode::Game, ScreenMode::InfoCentre, ScreenMode::InfoLeft, ScreenMode::InfoRight}) {
        CurrentScreen = mode;
        RedrawScreen();
    }
    DrawFace(ImgGoBD);
    DrawCaptionStrip();
    DrawNumberBox(2147483647, 320);
    const long allocations = StopCountingAllocations();
    CurrentScreen = ScreenMode::Game;
    FreeImages();

    EXPECT_EQ(allocations, 0);
}

}  // namespace
