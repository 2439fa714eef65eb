// The number boxes and the next-piece preview.
#include "render_fixture.h"

namespace {

using StatusPanels = RenderTest;

TEST_F(StatusPanels, NumberIsCentredWithHalfPixelsDroppedTowardZero) {
    const struct {
        int value;
        int cx, cy;  // the text's measured size
        int x, y;    // where it is written, for a box whose top is 320
    } cases[] = {
        {0, 20, 13, 63, 324},     // 49 / 2 is 24, 9 / 2 is 4
        {1234, 21, 14, 63, 324},  // 48 / 2 and 8 / 2: exact halves
        {99999, 72, 13, 38, 324}, // wider than the box: -3 / 2 is -1
        {7, 5, 24, 71, 319},      // taller than the box: -2 / 2 is -1
        {12, 73, 25, 37, 319},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        fake::ClearTrace();
        fake::Fake().measure = [&c](const char*) { return platform::TextSize{c.cx, c.cy}; };
        DrawNumberBox(c.value, 320);
        const std::string text = std::to_string(c.value);
        EXPECT_EQ(Lines(), (std::vector<std::string>{
                               "measure \"" + text + "\"", "copy TextBox 39,320 69x22",
                               "text " + std::to_string(c.x) + "," + std::to_string(c.y) + " \"" + text + "\""}));
    }
}

TEST_F(StatusPanels, NumbersAreWrittenInPlainSignedDecimal) {
    for (int value : {-5, -2147483647 - 1, 2147483647, 100000}) {
        fake::ClearTrace();
        DrawNumberBox(value, 278);
        const std::vector<fake::Event> texts = fake::EventsOf(fake::Call::Text);
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].text, std::to_string(value));
    }
}

TEST_F(StatusPanels, EachBoxShowsItsOwnNumberAtItsOwnTop) {
    Game.level = 3;
    Game.score = 450;
    Game.bestScoreShown = 9001;
    fake::Fake().measure = [](const char*) { return platform::TextSize{20, 13}; };
    DrawLevelBox();
    DrawScoreBox();
    DrawBestScoreBox();
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "measure \"3\"", "copy TextBox 39,278 69x22", "text 63,282 \"3\"",
                           "measure \"450\"", "copy TextBox 39,320 69x22", "text 63,324 \"450\"",
                           "measure \"9001\"", "copy TextBox 39,367 69x22", "text 63,371 \"9001\""}));
}

TEST_F(StatusPanels, PreviewShowsTheNextKindOnlyWhileAGameIsOn) {
    const struct {
        bool gameOver;
        int nextKind;
        const char* picture;
    } cases[] = {
        {true, 0, "P0"},  {true, 3, "P0"},  {true, 7, "P0"},   // no game: the empty well
        {false, 0, "P1"}, {false, 1, "P2"}, {false, 2, "P3"}, {false, 3, "P4"},
        {false, 4, "P5"}, {false, 5, "P6"}, {false, 6, "P7"},
        {false, 7, "P0"},                     // Go pressed, first piece not yet dealt
        {false, -1, "P0"}, {false, 8, "P0"},  // never a kind: still no stray picture
    };
    for (const auto& c : cases) {
        fake::ClearTrace();
        Game.gameOver = c.gameOver;
        Game.nextKind = c.nextKind;
        DrawNextPiece();
        EXPECT_EQ(Lines(), std::vector<std::string>{std::string("copy ") + c.picture + " 36,200 74x56"})
            << "gameOver " << c.gameOver << ", nextKind " << c.nextKind;
    }
}

}  // namespace
