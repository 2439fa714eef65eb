// One whole game from a fixed seed, played by a fixed script of keys, ticks
// and clicks, compared line by line with the committed whole_game.trace.
// After an intended change, rewrite the file with QUARVELLE_UPDATE_TRACES=1
// (see README.md) and review its diff.
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/engine.h"
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

// How the scripted player places a piece: turns, then sideways steps.
struct Plan {
    int turns;
    int shift;  // negative: to the left
};

void Carry(const Plan& plan) {
    for (int turn = 0; turn < plan.turns; ++turn) Send(msg::KeyDown, msg::VkUp);
    for (int step = 0; step < (plan.shift < 0 ? -plan.shift : plan.shift); ++step)
        Send(msg::KeyDown, plan.shift < 0 ? msg::VkLeft : msg::VkRight);
}

// A plain judgement of a field: full rows are good; height, holes under
// blocks and steps between neighbouring columns are bad.
int Judge(const Board& board) {
    int full = 0, heights = 0, holes = 0, steps = 0, previous = -1;
    for (int row = 0; row < BoardRows; ++row) {
        int filled = 0;
        for (int column = 0; column < BoardColumns; ++column)
            filled += board.cells[row * BoardColumns + column] != BlockImage::Blank;
        full += filled == BoardColumns;
    }
    for (int column = 0; column < BoardColumns; ++column) {
        int height = 0;
        for (int row = 0; row < BoardRows; ++row) {
            const bool blank = board.cells[row * BoardColumns + column] == BlockImage::Blank;
            if (!blank && height == 0) height = BoardRows - row;
            if (blank && height > 0) ++holes;
        }
        heights += height;
        if (previous >= 0) steps += height > previous ? height - previous : previous - height;
        previous = height;
    }
    return 76 * full - 51 * heights - 36 * holes - 18 * steps;
}

// Tries every plan on the game as it stands, dropping the piece to rest,
// and keeps the best; the game and the trace are put back afterwards.
Plan ChoosePlan() {
    const GameState saved = Game;
    const std::size_t traceSize = fake::Fake().trace.size();
    Plan best{0, 0};
    int bestJudgement = 0;
    bool first = true;
    for (int turns = 0; turns < 4; ++turns) {
        for (int shift = -5; shift <= 5; ++shift) {
            Game = saved;
            Carry(Plan{turns, shift});
            while (MoveDown()) {
            }
            const int judgement = Judge(Game.board);
            if (first || judgement > bestJudgement) {
                best = Plan{turns, shift};
                bestJudgement = judgement;
            }
            first = false;
        }
    }
    Game = saved;
    fake::Fake().trace.resize(traceSize);
    return best;
}

// The scripted player plans the first pieces with care, then gives up and
// drops the rest straight down until the stack overflows.
constexpr int CarefulPieces = 24;

}  // namespace

TEST_F(ShellTest, AWholeScriptedGameMatchesTheCommittedTrace) {
    fake::Fake().now = 20261209;
    fake::Fake().dialogScript = [] { NameEntryDialogProc(NameDialogQuitGame, "Scripted;Player"); };

    ClickAt(50, 70);  // Go
    int piece = 0;
    int age = 0;  // ticks since the falling piece entered
    bool wasFalling = false;
    for (int tick = 0; tick < 3000 && !Game.gameOver; ++tick) {
        if (Game.pieceFalling && !wasFalling) {
            ++piece;
            age = 0;
        }
        wasFalling = Game.pieceFalling;
        if (Game.pieceFalling) {
            // One row down, every turn has room; then the down key each tick.
            if (age == 1 && piece <= CarefulPieces) Carry(ChoosePlan());
            if (age >= 2) Send(msg::KeyDown, piece % 2 ? msg::VkDown : msg::VkNumpad2);
            ++age;
        }
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
