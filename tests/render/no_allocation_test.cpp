// Drawing never allocates: every screen, box and page is drawn through a seam
// that does nothing while every operator new is counted.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "engine/game_state.h"
#include "render/draw.h"
#include "render/image_catalogue.h"
#include "scores/high_score_page.h"
#include "scores/high_score_table.h"
#include "shell/shell_state.h"

namespace {
bool Counting = false;
int Allocations = 0;

void* Allocate(std::size_t size) {
    if (Counting) ++Allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(Drawing, AllocatesNothingInAnyScreenMode) {
    LoadImages();
    for (HighScoreEntry& entry : HighScores.entries) entry = HighScoreEntry{"Unknown", -2147483647 - 1, 30, 999};
    Game.score = -2147483647 - 1;
    Game.gameOver = false;
    Game.nextKind = 6;
    Game.board.cells[100] = BlockImage::Red;

    Counting = true;
    for (ScreenMode mode : {ScreenMode::Game, ScreenMode::InfoCentre, ScreenMode::InfoLeft, ScreenMode::InfoRight}) {
        CurrentScreen = mode;
        RedrawScreen();
    }
    DrawFace(ImgGoBD);
    DrawCaptionStrip();
    DrawNumberBox(2147483647, 320);
    Counting = false;
    CurrentScreen = ScreenMode::Game;
    FreeImages();

    EXPECT_EQ(Allocations, 0);
}

}  // namespace
