// One whole game from a fixed seed, played by a fixed script of keys, ticks
// and clicks, compared line by line with the committed whole_game.trace.
// After an intended change, rewrite the file with QUARVELLE_UPDATE_TRACES=1
// (see README.md) and review its diff.
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/game_state.h"
#include "scores/name_entry.h"
#include "shell/messages.h"
#include "shell/shell_state.h"
#include "tests/shell/shell_harness.h"

namespace {

const std::string TracePath = std::string(QUARVELLE_SHELL_TRACE_DIR) + "/whole_game.trace";

// The trace as the file holds it: one line per event, except that a whole
// drawing of the field is one line "board" with its 18 rows of 10 cells.
std::string GameTrace() {
    const std::vector<fake::Event>& trace = fake::Fake().trace;
    const std::vector<std::string> frames = fake::BoardFrames();
    std::size_t frame = 0;
    std::ostringstream out;
    for (std::size_t i = 0; i < trace.size(); ++i) {
        const fake::Event& e = trace[i];
        const bool boardStart = e.call == fake::Call::Copy && e.b == 130 && e.c == 40 && e.d == 20 && e.e == 20 &&
                                frame < frames.size() && i + 180 <= trace.size();
        if (boardStart) {
            out << "board";
            for (int row = 0; row < BoardRows; ++row) out << ' ' << frames[frame].substr(row * 10, 10);
            out << '\n';
            ++frame;
            i += 179;
            continue;
        }
        out << fake::Describe(e) << '\n';
    }
    return out.str();
}

// The player's script: which key, if any, before the tick that finds the
// falling piece `age` ticks old.
// Each piece is steered to a column of its own and then dropped with the
// down key, so that rows fill, are removed and the stack finally overflows.
// Where each piece is steered, in columns from its entry, one after another.
constexpr int Targets[] = {-4, 4, -2, 2, 0, -5, 5, -3, 3, -1, 1};

unsigned KeyBefore(int age, int piece) {
    const int phase = age;
    const int target = Targets[piece % (sizeof Targets / sizeof Targets[0])];
    const int steps = target < 0 ? -target : target;
    if (phase == 0 && piece % 3 == 1) return msg::VkUp;
    if (phase >= 1 && phase < 1 + steps) return target < 0 ? msg::VkLeft : msg::VkRight;
    if (phase >= 8) return msg::VkDown;
    return 0;
}

}  // namespace

TEST_F(ShellTest, AWholeScriptedGameMatchesTheCommittedTrace) {
    fake::Fake().now = 20261209;
    fake::Fake().dialogScript = [] { NameEntryDialogProc(NameDialogQuitGame, "Scripted;Player"); };
    fake::Fake().messageAnswers.push_back(platform::AnswerNo);

    ClickAt(50, 70);  // Go
    int piece = 0;
    int age = 0;  // ticks since the falling piece entered
    bool wasFalling = false;
    for (int tick = 0; tick < 5000 && !Game.gameOver; ++tick) {
        if (Game.pieceFalling && !wasFalling) {
            ++piece;
            age = 0;
        }
        wasFalling = Game.pieceFalling;
        const unsigned key = Game.pieceFalling ? KeyBefore(age++, piece) : 0;
        if (key != 0) Send(msg::KeyDown, key);
        if (tick == 40) {
            // A pause and a resume in the middle of the game change nothing.
            ClickAt(50, 100);
            Send(msg::Timer);
            ClickAt(50, 70);
        }
        Send(msg::Timer);
    }
    ASSERT_TRUE(Game.gameOver) << "the script should lose the game";
    Send(msg::Destroy);

    const std::string actual = GameTrace();
    const char* update = std::getenv("QUARVELLE_UPDATE_TRACES");
    if (update != nullptr && std::string(update) == "1") {
        std::ofstream(TracePath, std::ios::binary) << actual;
        GTEST_SKIP() << "rewrote " << TracePath;
    }
    std::ifstream file(TracePath, std::ios::binary);
    ASSERT_TRUE(file) << "missing " << TracePath << "; run with QUARVELLE_UPDATE_TRACES=1";
    std::stringstream expected;
    expected << file.rdbuf();
    // Compare line by line so that a failure names the first differing event.
    std::istringstream want(expected.str()), got(actual);
    std::string wantLine, gotLine;
    int line = 1;
    for (; std::getline(want, wantLine); ++line) {
        ASSERT_TRUE(std::getline(got, gotLine)) << "trace ends early at line " << line;
        ASSERT_EQ(gotLine, wantLine) << "first difference at line " << line;
    }
    EXPECT_FALSE(std::getline(got, gotLine)) << "trace goes on past line " << line << ": " << gotLine;
}
