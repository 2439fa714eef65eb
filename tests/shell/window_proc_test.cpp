// Start-up and the window procedure's own handling: redraws, activation,
// keys, ticks and the end of the program.
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/game_state.h"
#include "render/image_catalogue.h"
#include "scores/high_score_file.h"
#include "scores/high_score_table.h"
#include "render/draw.h"
#include "shell/buttons.h"
#include "seam/messages.h"
#include "shell/shell_state.h"
#include "seam/game_entry.h"
#include "tests/shell/shell_harness.h"

namespace {

Lines CatalogueLoads() {
    Lines loads;
    for (const CatalogueImage& image : Catalogue) loads.push_back(std::string("load ") + image.name);
    return loads;
}

}  // namespace

TEST(StartUp, LoadsEverythingThenDrawsTheIdleGameScreenWithTheBestScore) {
    ResetShellWorld();
    ASSERT_EQ(WriteDefaultHighScoreFile(), 1);
    ASSERT_EQ(LoadHighScoreTable(), 1);
    HighScores.entries[0].score = 4321;
    ASSERT_EQ(SaveHighScoreTable(), 1);
    HighScores = HighScoreTable{};
    for (int cell = 0; cell < BoardCells; ++cell) Game.board.cells[cell] = static_cast<BlockImage>(1 + cell % 5);
    fake::ClearTrace();

    ASSERT_EQ(StartUp(), 1);

    Lines expected = CatalogueLoads();
    expected.insert(expected.end(), {"font", "copy Console 0,0 350x420", "board"});
    EXPECT_EQ(Summary(), expected);
    // The start-up blanks every cell of the board before it draws it.
    for (int cell = 0; cell < BoardCells; ++cell) ASSERT_EQ(Game.board.cells[cell], BlockImage::Blank) << cell;
    EXPECT_EQ(fake::BoardFrames(), Lines{std::string(180, '.')});
    EXPECT_EQ(Game.bestScoreShown, 4321);
    bool bestShown = false;
    for (const fake::Event& e : fake::EventsOf(fake::Call::Text)) bestShown |= e.text == "4321";
    EXPECT_TRUE(bestShown);
    // Idle: no game, nothing running, no timer, the game screen.
    EXPECT_TRUE(Game.gameOver);
    EXPECT_FALSE(Game.running);
    EXPECT_TRUE(fake::Fake().timers.empty());
    EXPECT_EQ(CurrentScreen, ScreenMode::Game);
}

TEST(StartUp, FirstStartWithoutTheFileShowsTheMessageAndWritesADefaultFile) {
    ResetShellWorld();
    ASSERT_FALSE(std::filesystem::exists(HighScoreFileName));

    EXPECT_EQ(StartUp(), 0);

    Lines expected = CatalogueLoads();
    expected.push_back("message \"High score file corrupted or missing, please restart game.\" \"Error\" 0 -> 1");
    EXPECT_EQ(Summary(), expected);  // nothing drawn, nothing released
    EXPECT_TRUE(std::filesystem::exists(HighScoreFileName));

    fake::ResetFake();
    EXPECT_EQ(StartUp(), 1);
    EXPECT_TRUE(fake::EventsOf(fake::Call::MessageBox).empty());
}

TEST(StartUp, AMessageNoBoxCouldShowEndsTheStartWithItsOwnExitCode) {
    struct Case {
        int answer;
        bool quit;
        int quitCode;  // -1: none asked for
    };
    for (const Case c : {Case{platform::AnswerOk, false, -1}, Case{platform::Failed, true, UnshownMessageExitCode}}) {
        ResetShellWorld();
        fake::Fake().messageAnswers.push_back(c.answer);

        EXPECT_EQ(StartUp(), 0);

        EXPECT_EQ(fake::Fake().quitPosted, c.quit) << "answer " << c.answer;
        EXPECT_EQ(fake::Fake().quitCode, c.quitCode) << "answer " << c.answer;
    }
}

TEST(StartUp, NothingIsDrawnInAnyModeBeforeThePicturesAreLoaded) {
    ResetShellWorld();
    FreeImages();
    fake::ResetFake();
    for (ScreenMode mode : {ScreenMode::Game, ScreenMode::InfoCentre, ScreenMode::InfoLeft, ScreenMode::InfoRight}) {
        CurrentScreen = mode;
        RedrawScreen();
        Send(msg::Paint);
    }
    CurrentScreen = ScreenMode::Game;
    EXPECT_TRUE(fake::Fake().trace.empty()) << fake::TraceText();
}

// The full redraw of each mode, every line: the game screen exactly as the
// renderer draws it, or the console with the page and its twenty texts.
TEST_F(ShellTest, FullRedrawFollowsTheScreenMode) {
    for (HighScoreEntry& entry : HighScores.entries) entry = HighScoreEntry{"Unknown", 10, 1, 0};
    RedrawGameScreen();
    const Lines game = fake::TraceLines();
    ASSERT_EQ(game.front(), "copy Console 0,0 350x420");
    const struct {
        ScreenMode mode;
        Lines expected;  // the whole trace, or its first two lines for the table page
    } cases[] = {
        {ScreenMode::Game, game},
        {ScreenMode::InfoCentre, {"copy Console 0,0 350x420", "copy Dialog 19,39 311x361"}},
        {ScreenMode::InfoLeft, {"copy Console 0,0 350x420", "copy LeftDialog 19,39 311x361"}},
        {ScreenMode::InfoRight, {"copy Console 0,0 350x420", "copy RightDialog 19,39 311x361"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        fake::ClearTrace();
        CurrentScreen = c.mode;
        RedrawScreen();
        Lines lines = fake::TraceLines();
        if (c.mode == ScreenMode::InfoCentre) {
            EXPECT_EQ(lines.size(), 2u + 4 * HighScoreEntries) << "the page and its twenty texts";
            lines.resize(2);
        }
        EXPECT_EQ(lines, c.expected);
    }
}

TEST_F(ShellTest, CreateAndPaintRedrawTheScreenOfTheCurrentMode) {
    struct Case {
        ScreenMode mode;
        Lines drawn;
    };
    const Case cases[] = {
        {ScreenMode::Game, {"copy Console 0,0 350x420", "board"}},
        {ScreenMode::InfoCentre, {"copy Console 0,0 350x420", "copy Dialog 19,39 311x361"}},
        {ScreenMode::InfoLeft, {"copy Console 0,0 350x420", "copy LeftDialog 19,39 311x361"}},
        {ScreenMode::InfoRight, {"copy Console 0,0 350x420", "copy RightDialog 19,39 311x361"}},
    };
    for (const Case& c : cases) {
        CurrentScreen = c.mode;
        for (unsigned message : {msg::Create, msg::Paint}) {
            Send(message);
            EXPECT_EQ(TakeSummary(), c.drawn) << "mode " << static_cast<int>(c.mode) << " message " << message;
        }
    }
}

TEST_F(ShellTest, ActivationPausesOnAnythingButPlainActiveAndAlwaysRedraws) {
    struct Case {
        std::uintptr_t wParam;
        bool stillRunning;
    };
    const Case cases[] = {{0, false}, {1, true}, {2, false}, {0x10001, false}};
    StartGameWithPiece();
    for (const Case& c : cases) {
        Game.running = true;
        Send(msg::Activate, c.wParam);
        EXPECT_EQ(Game.running, c.stillRunning) << "wParam " << c.wParam;
        EXPECT_EQ(TakeSummary(), (Lines{"copy Console 0,0 350x420", "board"})) << "wParam " << c.wParam;
    }
    // Giving the focus back never resumes a paused game.
    Game.running = false;
    Send(msg::Activate, 1);
    EXPECT_FALSE(Game.running);
}

// Each key must do exactly what its engine move does from the same position.
TEST_F(ShellTest, KeysMapToTheirMovesByTheLowByte) {
    struct Case {
        std::uintptr_t wParam;
        int (*move)();
        bool softDrop;
    };
    const Case cases[] = {
        {37, MoveLeft, false},  {100, MoveLeft, false},  {38, Rotate, false},    {101, Rotate, false},
        {39, MoveRight, false}, {102, MoveRight, false}, {40, MoveDown, true},   {98, MoveDown, true},
        {0x100 | 37, MoveLeft, false},
    };
    StartGameWithPiece();
    // A few rows down, every move has room.
    for (int step = 0; step < 3; ++step) Send(msg::Timer);
    const GameState start = Game;
    for (const Case& c : cases) {
        Game = start;
        Game.softDrop = c.softDrop;
        fake::ClearTrace();
        c.move();
        const std::string byEngine = fake::TraceText();
        const GameState afterEngine = Game;

        Game = start;
        fake::ClearTrace();
        Send(msg::KeyDown, c.wParam);
        EXPECT_FALSE(fake::Fake().trace.empty()) << "key " << c.wParam;
        EXPECT_EQ(fake::TraceText(), byEngine) << "key " << c.wParam;
        EXPECT_EQ(0, std::memcmp(&Game.board, &afterEngine.board, sizeof(Board))) << "key " << c.wParam;
        EXPECT_EQ(Game.score, afterEngine.score) << "key " << c.wParam;
    }
    Game = start;
    fake::ClearTrace();
    for (std::uintptr_t other : {13u, 32u, 65u, 99u, 104u}) Send(msg::KeyDown, other);
    EXPECT_TRUE(fake::Fake().trace.empty());
}

TEST_F(ShellTest, TheDownKeySetsSoftDropEvenWhenTheStepIsRefused) {
    StartGameWithPiece();
    for (int cell = 0; cell < BoardCells; ++cell) {
        bool inPiece = false;
        for (int pieceCell : Game.activePiece.cells) inPiece |= pieceCell == cell;
        if (!inPiece) Game.board.cells[cell] = BlockImage::Red;
    }
    const Board before = Game.board;
    Send(msg::KeyDown, msg::VkDown);
    EXPECT_TRUE(Game.softDrop);
    EXPECT_EQ(0, std::memcmp(&Game.board, &before, sizeof(Board)));
    EXPECT_TRUE(Summary().empty());
}

TEST_F(ShellTest, KeysDoNothingWhilePausedOnAPageOrBetweenLandingAndSpawn) {
    struct Case {
        const char* when;
        void (*arrange)();
    };
    const Case cases[] = {
        {"paused", [] { ClickAt(50, 100); }},
        {"on a page", [] { ClickAt(50, 135); }},
        {"between landing and spawn", [] { Game.pieceFalling = false; }},
    };
    for (const Case& c : cases) {
        SetUp();
        StartGameWithPiece();
        c.arrange();
        const GameState before = Game;
        fake::ClearTrace();
        for (std::uintptr_t key : {37u, 38u, 39u, 40u, 98u, 100u, 101u, 102u}) Send(msg::KeyDown, key);
        EXPECT_TRUE(fake::Fake().trace.empty()) << c.when;
        EXPECT_EQ(0, std::memcmp(&Game.board, &before.board, sizeof(Board))) << c.when;
        EXPECT_FALSE(Game.softDrop) << c.when;
    }
}

TEST_F(ShellTest, TimerAndCaptionClicksTickOnlyARunningGame) {
    // Idle: the timer and the caption change nothing.
    Send(msg::Timer);
    CaptionPressAt(150, 10);
    CaptionReleaseAt(150, 10);
    EXPECT_EQ(Summary(), (Lines{"window origin"}));

    StartGameWithPiece();
    struct Case {
        const char* what;
        void (*send)();
    };
    const Case cases[] = {
        {"timer", [] { Send(msg::Timer); }},
        {"caption press", [] { CaptionPressAt(150, 10); }},
        {"caption release", [] { CaptionReleaseAt(150, 10); }},
    };
    for (const Case& c : cases) {
        const Board before = Game.board;
        fake::ClearTrace();
        c.send();
        // One step down of the falling piece: one drawing of the field.
        EXPECT_EQ(fake::BoardFrames().size(), 1u) << c.what;
        EXPECT_NE(0, std::memcmp(&Game.board, &before, sizeof(Board))) << c.what;
    }
}

TEST_F(ShellTest, DestroyReleasesThePicturesThenEndsTheLoop) {
    Send(msg::Destroy);
    const Lines lines = Summary();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "quit 0");
    EXPECT_TRUE(Contains(lines, "release surfaces"));
    EXPECT_TRUE(Contains(lines, "free Console"));
    EXPECT_EQ(fake::Fake().quitCode, 0);
}
