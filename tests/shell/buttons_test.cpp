// The painted controls through the window procedure: hit boxes, pressed
// faces, the click, release actions, the moves between screens and the
// caption glyphs.
#include <cstring>
#include <string>
#include <vector>

#include "engine/game_state.h"
#include "scores/high_score_table.h"
#include "shell/buttons.h"
#include "seam/messages.h"
#include "shell/shell_state.h"
#include "tests/shell/shell_harness.h"

// Every control's press at its edges and just outside them: a hit draws the
// pressed face and clicks in waiting mode; a miss does nothing at all.
TEST_F(ShellTest, PressesHitExactlyTheTabledBoxes) {
    struct Case {
        ScreenMode mode;
        int x, y;
        ButtonId held;  // None: a miss
        Lines drawn;
    };
    const Lines go = {"copy GoBD 40,59 66x26", Click};
    const Lines dialog = {"copy DialogBD 141,356 66x26", Click};
    const Lines left = {"copy LeftBD 30,359 29x20", Click};
    const Lines right = {"copy RightBD 289,358 29x20", Click};
    const Case cases[] = {
        {ScreenMode::Game, 42, 61, ButtonId::None, {}},
        {ScreenMode::Game, 42, 70, ButtonId::None, {}},
        {ScreenMode::Game, 43, 61, ButtonId::Go, go},
        {ScreenMode::Game, 108, 86, ButtonId::Go, go},
        {ScreenMode::Game, 109, 70, ButtonId::None, {}},
        {ScreenMode::Game, 43, 60, ButtonId::None, {}},
        {ScreenMode::Game, 43, 87, ButtonId::None, {}},
        {ScreenMode::Game, 60, 95, ButtonId::Pause, {"copy PauseBD 40,93 66x26", Click}},
        {ScreenMode::Game, 60, 120, ButtonId::Pause, {"copy PauseBD 40,93 66x26", Click}},
        {ScreenMode::Game, 60, 121, ButtonId::None, {}},
        {ScreenMode::Game, 60, 129, ButtonId::About,
         {"copy AboutBD 40,127 66x26", "copy PauseBD 40,93 66x26", "copy GoBU 40,59 66x26", Click}},
        {ScreenMode::Game, 60, 163, ButtonId::Quit, {"copy QuitBD 40,161 66x26", Click}},
        {ScreenMode::Game, 60, 188, ButtonId::Quit, {"copy QuitBD 40,161 66x26", Click}},
        {ScreenMode::Game, 60, 189, ButtonId::None, {}},
        {ScreenMode::Game, 150, 360, ButtonId::None, {}},  // the page controls are not live here
        {ScreenMode::InfoCentre, 142, 355, ButtonId::InfoPlay, dialog},
        {ScreenMode::InfoCentre, 207, 379, ButtonId::InfoPlay, dialog},
        {ScreenMode::InfoCentre, 141, 360, ButtonId::None, {}},
        {ScreenMode::InfoCentre, 150, 380, ButtonId::None, {}},
        {ScreenMode::InfoCentre, 31, 360, ButtonId::InfoLeft, left},
        {ScreenMode::InfoCentre, 58, 378, ButtonId::InfoLeft, left},
        {ScreenMode::InfoCentre, 30, 360, ButtonId::None, {}},
        {ScreenMode::InfoCentre, 31, 359, ButtonId::None, {}},
        {ScreenMode::InfoCentre, 290, 359, ButtonId::InfoRight, right},
        {ScreenMode::InfoCentre, 317, 377, ButtonId::InfoRight, right},
        {ScreenMode::InfoCentre, 318, 377, ButtonId::None, {}},
        {ScreenMode::InfoCentre, 60, 70, ButtonId::None, {}},  // Go is not live here
        {ScreenMode::InfoLeft, 290, 359, ButtonId::Minimise, right},
        {ScreenMode::InfoLeft, 31, 360, ButtonId::None, {}},
        {ScreenMode::InfoLeft, 150, 360, ButtonId::None, {}},
        {ScreenMode::InfoRight, 31, 360, ButtonId::Close, left},
        {ScreenMode::InfoRight, 290, 359, ButtonId::None, {}},
    };
    for (const Case& c : cases) {
        CurrentScreen = c.mode;
        HeldButton = ButtonId::None;
        PressAt(c.x, c.y);
        EXPECT_EQ(TakeSummary(), c.drawn) << "mode " << static_cast<int>(c.mode) << " at " << c.x << ',' << c.y;
        EXPECT_EQ(HeldButton, c.held) << "mode " << static_cast<int>(c.mode) << " at " << c.x << ',' << c.y;
    }
}

TEST_F(ShellTest, AMissLeavesTheHeldControlAsItWas) {
    PressAt(60, 100);  // Pause
    fake::ClearTrace();
    PressAt(20, 20);
    EXPECT_TRUE(Summary().empty());
    EXPECT_EQ(HeldButton, ButtonId::Pause);
}

// The caption glyphs act inside their press in every mode, from the screen
// point and the window's corner wherever the window stands, half off the
// screen included; a later caption release finds nothing held.
TEST_F(ShellTest, CaptionGlyphsActInsideThePress) {
    struct Case {
        platform::ScreenPoint origin;
        int x, y;
        Lines drawn;
    };
    const Lines minimise = {"window origin", "copy MinB 306,9 13x13", Click, "copy Console 0,0 350x30",
                            "post 274 61472"};
    const Lines close = {"window origin", "copy CloseB 327,9 13x13", Click, "copy Console 0,0 350x30", "post 2 0"};
    const Lines miss = {"window origin"};
    const Case cases[] = {
        {{100, 100}, 306, 8, minimise},  {{100, 100}, 318, 21, minimise}, {{-200, -5}, 310, 12, minimise},
        {{100, 100}, 305, 8, miss},      {{100, 100}, 306, 7, miss},      {{100, 100}, 319, 15, miss},
        {{100, 100}, 306, 22, miss},     {{100, 100}, 327, 8, close},     {{-200, -5}, 339, 21, close},
        {{100, 100}, 340, 21, miss},     {{100, 100}, 326, 15, miss},
    };
    for (ScreenMode mode : {ScreenMode::Game, ScreenMode::InfoCentre, ScreenMode::InfoLeft, ScreenMode::InfoRight}) {
        for (const Case& c : cases) {
            CurrentScreen = mode;
            HeldButton = ButtonId::None;
            fake::Fake().origin = c.origin;
            CaptionPressAt(c.x, c.y);
            const std::string where =
                "mode " + std::to_string(static_cast<int>(mode)) + " at " + std::to_string(c.x) + ',' + std::to_string(c.y);
            EXPECT_EQ(TakeSummary(), c.drawn) << where;
            EXPECT_EQ(HeldButton, ButtonId::None) << where;
            EXPECT_EQ(CurrentScreen, mode) << where;
            CaptionReleaseAt(c.x, c.y);
            EXPECT_TRUE(TakeSummary().empty()) << where;
        }
    }
}

TEST_F(ShellTest, GoStartsANewGameThenPauseAndGoResumeIt) {
    // The new game's best-score box shows the table's top as it is now.
    HighScores.entries[0].score = 777;
    ClickAt(50, 70);
    EXPECT_EQ(Game.bestScoreShown, 777);
    EXPECT_EQ(fake::EventsOf(fake::Call::Text).back().text, "777");
    const Lines started = TakeSummary();
    ASSERT_GE(started.size(), 4u);
    EXPECT_EQ(Lines(started.begin(), started.begin() + 4),
              (Lines{"copy GoBD 40,59 66x26", Click, "copy PauseBU 40,93 66x26", "copy GoBD 40,59 66x26"}));
    EXPECT_EQ(From(started, "time").empty(), false);  // the dealer is seeded
    EXPECT_TRUE(Game.running);
    EXPECT_FALSE(Game.gameOver);
    EXPECT_EQ(fake::Fake().timers.at(1), 800);

    Send(msg::Timer);
    Send(msg::Timer);
    const GameState underWay = Game;
    fake::ClearTrace();

    // From each play state, what a Go or Pause release draws and leaves.
    struct Case {
        bool running;
        int y;  // Go or Pause
        Lines released;
        bool runningAfter;
    };
    const Case cases[] = {
        {true, 70, {"copy GoBD 40,59 66x26"}, true},
        {true, 100, {"copy GoBU 40,59 66x26", "copy PauseBD 40,93 66x26"}, false},
        {false, 100, {"copy PauseBD 40,93 66x26"}, false},
        {false, 70, {"copy PauseBU 40,93 66x26", "copy GoBD 40,59 66x26"}, true},
    };
    for (const Case& c : cases) {
        Game.running = c.running;
        PressAt(50, c.y);
        fake::ClearTrace();
        ReleaseAt(50, c.y);
        EXPECT_EQ(TakeSummary(), c.released) << "running " << c.running << " y " << c.y;
        EXPECT_EQ(Game.running, c.runningAfter) << "running " << c.running << " y " << c.y;
        // Nothing is reset: the game goes on where it was.
        EXPECT_EQ(0, std::memcmp(&Game.board, &underWay.board, sizeof(Board)));
        EXPECT_EQ(HeldButton, ButtonId::None);
    }
}

TEST_F(ShellTest, AboutPausesOnThePressAndOpensTheTableOnTheRelease) {
    StartGameWithPiece();
    PressAt(60, 140);
    EXPECT_FALSE(Game.running);
    EXPECT_EQ(CurrentScreen, ScreenMode::Game);
    fake::ClearTrace();
    ReleaseAt(60, 140);
    EXPECT_EQ(TakeSummary(), (Lines{"copy AboutBU 40,127 66x26", "copy Dialog 19,39 311x361"}));
    EXPECT_EQ(CurrentScreen, ScreenMode::InfoCentre);
    EXPECT_FALSE(Game.gameOver);
}

// Around the pages and back, one step per release, each drawing only the
// new screen; back on the game screen the game is still paused.
TEST_F(ShellTest, NavigationBetweenTheScreensBothWays) {
    struct Step {
        int x, y;
        ScreenMode to;
        Lines released;
    };
    const Lines centre = {"copy Dialog 19,39 311x361"};
    const Step steps[] = {
        {60, 140, ScreenMode::InfoCentre, {"copy AboutBU 40,127 66x26", "copy Dialog 19,39 311x361"}},
        {40, 370, ScreenMode::InfoLeft, {"copy LeftDialog 19,39 311x361"}},
        {40, 370, ScreenMode::InfoLeft, {}},  // no control there on this page
        {300, 365, ScreenMode::InfoCentre, centre},
        {300, 365, ScreenMode::InfoRight, {"copy RightDialog 19,39 311x361"}},
        {300, 365, ScreenMode::InfoRight, {}},
        {40, 370, ScreenMode::InfoCentre, centre},
        {150, 365, ScreenMode::Game, {"copy Console 0,0 350x420", "board"}},
    };
    StartGameWithPiece();
    for (const Step& s : steps) {
        PressAt(s.x, s.y);
        fake::ClearTrace();
        ReleaseAt(s.x, s.y);
        EXPECT_EQ(TakeSummary(), s.released) << "to " << static_cast<int>(s.to);
        EXPECT_EQ(CurrentScreen, s.to);
        EXPECT_EQ(HeldButton, ButtonId::None);
    }
    EXPECT_FALSE(Game.running);
    EXPECT_FALSE(Game.gameOver);
}

TEST_F(ShellTest, ADoubleClickWorksAButtonTwice) {
    ClickAt(60, 170);
    ClickAt(60, 170);
    const Lines quit = {"copy QuitBD 40,161 66x26", Click, "copy QuitBU 40,161 66x26", "post 2 0"};
    Lines twice = quit;
    twice.insert(twice.end(), quit.begin(), quit.end());
    EXPECT_EQ(Summary(), twice);
}

TEST_F(ShellTest, AReleaseActsWhereverThePointerIs) {
    StartGameWithPiece();
    // Pressed on Pause, released far from it.
    PressAt(60, 100);
    ReleaseAt(300, 400);
    EXPECT_FALSE(Game.running);

    // Released outside the window (never seen): the next release in the
    // client area acts, even one ending a press that hit nothing.
    Game.running = true;
    PressAt(60, 100);
    fake::ClearTrace();
    ClickAt(10, 300);
    EXPECT_EQ(Summary(), (Lines{"copy GoBU 40,59 66x26", "copy PauseBD 40,93 66x26"}));
    EXPECT_FALSE(Game.running);

    // A held page control is let go by a game-screen release, unperformed.
    CurrentScreen = ScreenMode::Game;
    HeldButton = ButtonId::InfoRight;
    fake::ClearTrace();
    ReleaseAt(10, 300);
    EXPECT_TRUE(Summary().empty());
    EXPECT_EQ(HeldButton, ButtonId::None);
}

// A side page's back arrow whose release was lost outside the window holds
// the same value as a caption glyph; a caption press that hits no glyph
// must neither minimise nor end the program, and the page keeps working.
TEST_F(ShellTest, ALostBackArrowReleaseNeverActsFromTheCaption) {
    struct Case {
        int leftArrowOrRight;  // 40: left arrow, 300: right arrow, of the centre page
        int back;              // x of the side page's back arrow
        ButtonId held;
    };
    const Case cases[] = {{40, 300, ButtonId::Minimise}, {300, 40, ButtonId::Close}};
    for (const Case& c : cases) {
        SetUp();
        StartGameWithPiece();
        ClickAt(60, 140);
        ClickAt(c.leftArrowOrRight, 370);
        PressAt(c.back, 370);  // its release is lost
        ASSERT_EQ(HeldButton, c.held);
        fake::ClearTrace();

        CaptionPressAt(150, 10);
        CaptionReleaseAt(150, 10);
        EXPECT_TRUE(fake::EventsOf(fake::Call::Post).empty());
        EXPECT_EQ(Summary(), (Lines{"window origin"}));
        EXPECT_EQ(HeldButton, c.held);
        EXPECT_FALSE(Game.gameOver);

        // The page's own release still takes the player back.
        ReleaseAt(150, 200);
        EXPECT_EQ(CurrentScreen, ScreenMode::InfoCentre);

        // And after another lost one, the close glyph still ends the program.
        ClickAt(c.leftArrowOrRight, 370);
        PressAt(c.back, 370);
        fake::ClearTrace();
        CaptionPressAt(330, 15);
        EXPECT_EQ(From(Summary(), "post 2 0"), (Lines{"post 2 0"}));
    }
}
