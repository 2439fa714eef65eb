// Drawing never allocates: every screen, box and page is drawn through a seam
// that does nothing while every operator new is counted.
#include <gtest/gtest.h>

#include "engine/game_state.h"
#include "render/draw.h"
#include "render/image_catalogue.h"
#include "render/high_score_page.h"
#include "scores/high_score_table.h"
#include "tests/support/allocation_counter.h"

namespace {

// Every screen the shell's full redraw can show: the game screen, and the
// console with each info page.
TEST(Drawing, AllocatesNothingInAnyScreenMode) {
    LoadImages();
    for (HighScoreEntry& entry : HighScores.entries) entry = HighScoreEntry{"Unknown", -2147483647 - 1, 30, 999};
    Game.score = -2147483647 - 1;
    Game.gameOver = false;
    Game.nextKind = 6;
    Game.board.cells[100] = BlockImage::Red;

    StartCountingAllocations();
    RedrawGameScreen();
    for (void (*page)() : {DrawHighScorePage, DrawLeftPage, DrawRightPage}) {
        DrawConsole();
        page();
    }
    DrawFace(ImgGoBD);
    DrawCaptionStrip();
    DrawNumberBox(2147483647, 320);
    const long allocations = StopCountingAllocations();
    FreeImages();

    EXPECT_EQ(allocations, 0);
}

}  // namespace
