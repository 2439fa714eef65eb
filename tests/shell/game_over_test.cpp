// The end of a game through the tick that finds no room for the new piece:
// the play-again question, the name dialog and what the name entry stores.
#include <cstring>
#include <string>
#include <vector>

#include "engine/game_state.h"
#include "seam/platform.h"
#include "scores/high_score_file.h"
#include "scores/high_score_table.h"
#include "scores/name_entry.h"
#include "seam/messages.h"
#include "shell/shell_state.h"
#include "tests/shell/shell_harness.h"

namespace {

// A running game whose next spawn cannot fit, with the table's lowest score
// at 100 and the game's score at `score`.
void ArrangeLostGame(int score) {
    StartGameWithPiece();
    for (HighScoreEntry& entry : HighScores.entries) entry.score = entry.score < 100 ? 100 : entry.score;
    Game.score = score;
    FillBoard();
    Game.pieceFalling = false;
    fake::ClearTrace();
}

const Lines Stopped = {"sound 807 wait", "copy PauseBD 40,93 66x26", "copy GoBU 40,59 66x26", "kill timer 1"};

int LowestScore() { return HighScores.entries[HighScoreEntries - 1].score; }

}  // namespace

// A score that only ties the fifth entry does not enter the table: the
// question is asked; No ends the program after the page, anything else
// resets the game at once and leaves it idle.
TEST_F(ShellTest, ALostGameOutsideTheTableOffersAnotherGame) {
    struct Case {
        int answer;
        bool ends;
    };
    const Case cases[] = {{platform::AnswerNo, true}, {platform::AnswerYes, false}, {platform::Failed, false}};
    for (const Case& c : cases) {
        SetUp();
        ArrangeLostGame(0);
        Game.score = LowestScore();
        fake::Fake().messageAnswers.push_back(c.answer);
        Send(msg::Timer);

        const Lines flow = From(Summary(), "sound 807 wait");
        Lines expected = Stopped;
        expected.push_back("message \"Play again?\" \"Game Over\" 4 -> " + std::to_string(c.answer));
        ASSERT_GE(flow.size(), expected.size()) << "answer " << c.answer;
        EXPECT_EQ(Lines(flow.begin(), flow.begin() + static_cast<long>(expected.size())), expected);
        EXPECT_EQ(flow.back(), "copy Dialog 19,39 311x361") << "answer " << c.answer;
        EXPECT_EQ(Contains(flow, "post 2 0"), c.ends) << "answer " << c.answer;
        // The reset runs before the page, arming the timer again.
        EXPECT_EQ(Contains(flow, "timer 1 800"), !c.ends) << "answer " << c.answer;
        EXPECT_EQ(fake::Fake().timers.count(1), c.ends ? 0u : 1u);
        EXPECT_EQ(Game.board.cells[0] == BlockImage::Blank, !c.ends) << "answer " << c.answer;
        EXPECT_TRUE(fake::EventsOf(fake::Call::Dialog).empty());
        EXPECT_FALSE(Game.running);
        EXPECT_TRUE(Game.gameOver);
        EXPECT_EQ(CurrentScreen, ScreenMode::InfoCentre);

        // The timer of the reset game does nothing until Go.
        fake::ClearTrace();
        Send(msg::Timer);
        EXPECT_TRUE(fake::Fake().trace.empty());
    }
}

// A score that enters the table asks for the name; either button records
// and saves it before the game restarts or the program ends. A dialog that
// ends without either (it could not open) leaves the game idle.
TEST_F(ShellTest, ALostGameInTheTableTakesTheNameThenPlaysAgainOrQuits) {
    struct Case {
        int button;
        bool ends;
    };
    const Case cases[] = {{NameDialogPlayAgain, false}, {NameDialogQuitGame, true}};
    for (const int noButton : {1, 0}) {
        SetUp();
        ArrangeLostGame(5000);
        NameDialogButton = noButton == 1 ? NameDialogPlayAgain : 0;  // a stale answer counts for nothing
        fake::Fake().dialogScript = [] {};
        Send(msg::Timer);
        const Lines flow = From(Summary(), "sound 807 wait");
        EXPECT_TRUE(Contains(flow, "dialog"));
        EXPECT_FALSE(Contains(flow, "post 2 0"));
        EXPECT_FALSE(Contains(flow, "timer 1 800"));
        EXPECT_EQ(flow.back(), "copy Dialog 19,39 311x361");
        EXPECT_TRUE(Game.gameOver);
        EXPECT_NE(HighScores.entries[0].score, 5000) << "nothing was inserted";
    }
    for (const Case& c : cases) {
        SetUp();
        ArrangeLostGame(5000);
        fake::Fake().dialogScript = [&c] {
            // The dialog is modal: the window still answers while it is open.
            Send(msg::Activate, 0);
            EXPECT_EQ(NameEntryDialogProc(c.button, "Ann"), 1);
        };
        Send(msg::Timer);

        const Lines flow = From(Summary(), "sound 807 wait");
        Lines expected = Stopped;
        expected.insert(expected.end(), {"sound 809 free", "dialog", "copy Console 0,0 350x420", "board", "end dialog"});
        ASSERT_GE(flow.size(), expected.size()) << "button " << c.button;
        EXPECT_EQ(Lines(flow.begin(), flow.begin() + static_cast<long>(expected.size())), expected);
        EXPECT_EQ(flow.back(), "copy Dialog 19,39 311x361");
        EXPECT_EQ(Contains(flow, "post 2 0"), c.ends);
        EXPECT_EQ(Contains(flow, "timer 1 800"), !c.ends);
        EXPECT_TRUE(fake::EventsOf(fake::Call::MessageBox).empty());
        EXPECT_EQ(CurrentScreen, ScreenMode::InfoCentre);
        EXPECT_TRUE(Game.gameOver);
        EXPECT_FALSE(Game.running);

        // On disk before the end request is handled.
        HighScores = HighScoreTable{};
        ASSERT_EQ(LoadHighScoreTable(), 1);
        EXPECT_STREQ(HighScores.entries[0].name, "Ann");
        EXPECT_EQ(HighScores.entries[0].score, 5000);
    }
}

// What the name entry stores for what was typed, read back from the file.
// The entry only takes and stores the name and notes the button: neither
// the new game nor the end request is its own (the game-over flow above).
TEST_F(ShellTest, TheNameEntryStoresTheTypedNameSafely) {
    struct Case {
        int controlId;
        const char* typed;
        int handled;
        const char* stored;  // null: nothing inserted
    };
    const Case cases[] = {
        {NameDialogPlayAgain, "Ann", 1, "Ann"},
        {NameDialogPlayAgain, "", 1, "Unknown"},
        {NameDialogQuitGame, "ABCDEFGHIJKLMNOPQRST", 1, "ABCDEFGHIJKLM"},
        {NameDialogPlayAgain, "   ", 1, "   "},
        {NameDialogPlayAgain, " a b ", 1, " a b "},
        {NameDialogPlayAgain, "a;b", 1, "a,b"},
        {NameDialogQuitGame, ";;;;;;;;;;;;;;;;", 1, ",,,,,,,,,,,,,"},
        {2, "Bob", 0, nullptr},  // Escape leaves the dialog open
        {NameDialogEdit, "Bob", 0, nullptr},
        {0, "Bob", 0, nullptr},
    };
    for (const Case& c : cases) {
        SetUp();
        Game.score = 5000;
        Game.level = 3;
        Game.linesCleared = 27;
        ASSERT_EQ(QualifiesForHighScore(), 1);
        NameDialogButton = 0;
        EXPECT_EQ(NameEntryDialogProc(c.controlId, c.typed), c.handled) << c.typed;
        EXPECT_EQ(NameDialogButton, c.handled ? c.controlId : 0) << c.typed;
        const Lines lines = Summary();
        HighScores = HighScoreTable{};
        ASSERT_EQ(LoadHighScoreTable(), 1);
        if (c.stored == nullptr) {
            EXPECT_TRUE(lines.empty()) << c.controlId;
            EXPECT_NE(HighScores.entries[0].score, 5000);
            continue;
        }
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.front(), "end dialog");
        EXPECT_EQ(lines, Lines{"end dialog"}) << c.typed;
        EXPECT_STREQ(HighScores.entries[0].name, c.stored) << c.typed;
        EXPECT_EQ(HighScores.entries[0].score, 5000) << c.typed;
        EXPECT_EQ(HighScores.entries[0].level, 3) << c.typed;
        EXPECT_EQ(HighScores.entries[0].lines, 27) << c.typed;
    }
}
