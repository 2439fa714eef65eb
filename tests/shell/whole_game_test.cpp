// One whole game from a fixed seed: the committed input (whole_game.input, one
// window message a line) is replayed and the trace, with a marker line before
// the effects of each input, is compared line by line with the committed
// whole_game.trace. With QUARVELLE_UPDATE_TRACES=1 a scripted player plays the
// game afresh and both files are rewritten (see README.md); review their diff.
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/game_state.h"
#include "scores/name_entry.h"
#include "seam/messages.h"
#include "shell/shell_state.h"
#include "tests/shell/shell_harness.h"

namespace {

const std::string TraceDir = QUARVELLE_SHELL_TRACE_DIR;
const std::string TracePath = TraceDir + "/whole_game.trace";
const std::string InputPath = TraceDir + "/whole_game.input";

// The input lines given so far, and where in the fake's trace each one's
// effects begin: its marker goes there.
struct Replay {
    std::vector<std::string> inputs;
    std::vector<std::size_t> markedAt;
};

Replay& Given() {
    static Replay replay;
    return replay;
}

// Sends one input line as the window message it names:
//   timer / key N / press X,Y / release X,Y (window points) / destroy, and,
// while the name dialog is open, name-dialog BUTTON TEXT (the whole rest of
// the line is the typed text).
void Deliver(const std::string& line) {
    std::istringstream in(line);
    std::string what;
    in >> what;
    if (what == "timer") {
        Send(msg::Timer);
    } else if (what == "destroy") {
        Send(msg::Destroy);
    } else if (what == "key") {
        unsigned key = 0;
        in >> key;
        Send(msg::KeyDown, key);
    } else if (what == "press" || what == "release") {
        int x = 0, y = 0;
        char comma = 0;
        in >> x >> comma >> y;
        ASSERT_EQ(comma, ',') << line;
        if (what == "press") {
            PressAt(x, y);
        } else {
            ReleaseAt(x, y);
        }
    } else if (what == "name-dialog") {
        int button = 0;
        in >> button;
        in.get();  // the one space before the text
        std::string typed;
        std::getline(in, typed);
        NameEntryDialogProc(button, typed.c_str());
    } else {
        FAIL() << "unknown input line: " << line;
    }
}

// Gives one input: notes it, marks where its effects begin, sends it.
void Give(const std::string& line) {
    Given().inputs.push_back(line);
    Given().markedAt.push_back(fake::Fake().trace.size());
    Deliver(line);
}

// The trace as the file holds it: one line per event, except that a whole
// drawing of the field is one line "board" with its 18 rows of 10 cells, and
// each input's marker "> input" before its effects.
std::string GameTrace() {
    const std::vector<fake::Event>& trace = fake::Fake().trace;
    const std::vector<std::string> frames = fake::BoardFrames();
    const Replay& given = Given();
    std::size_t frame = 0;
    std::size_t marker = 0;
    std::ostringstream out;
    auto markUpTo = [&](std::size_t index) {
        for (; marker < given.inputs.size() && given.markedAt[marker] <= index; ++marker)
            out << "> " << given.inputs[marker] << '\n';
    };
    for (std::size_t i = 0; i < trace.size(); ++i) {
        markUpTo(i);
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
    markUpTo(trace.size());
    return out.str();
}

std::string KeyLine(unsigned key) { return "key " + std::to_string(key); }

// How the scripted player places a piece: turns, then sideways steps.
struct Plan {
    int turns;
    int shift;  // negative: to the left
};

// The plan's keys, given as inputs, or only sent while the player tries it.
void Carry(const Plan& plan, void (*send)(const std::string& line)) {
    for (int turn = 0; turn < plan.turns; ++turn) send(KeyLine(msg::VkUp));
    for (int step = 0; step < (plan.shift < 0 ? -plan.shift : plan.shift); ++step)
        send(KeyLine(plan.shift < 0 ? msg::VkLeft : msg::VkRight));
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
            Carry(Plan{turns, shift}, Deliver);
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

// The scripted player plans the first pieces with care, enough for a level
// change and a removal of two rows at once, then gives up and drops the rest
// straight down until the stack overflows.
constexpr int CarefulPieces = 36;

// Plays the game with the scripted player, giving each input as it goes.
void PlayScriptedGame() {
    fake::Fake().dialogScript = [] { Give("name-dialog " + std::to_string(NameDialogQuitGame) + " Scripted;Player"); };
    Give("press 50,70");  // Go
    Give("release 50,70");
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
            if (age == 1 && piece <= CarefulPieces) Carry(ChoosePlan(), Give);
            if (age >= 2) Give(KeyLine(piece % 2 ? msg::VkDown : msg::VkNumpad2));
            ++age;
        }
        if (tick == 40) {
            // A pause and a resume in the middle of the game change nothing.
            Give("press 50,100");
            Give("release 50,100");
            Give("timer");
            Give("press 50,70");
            Give("release 50,70");
        }
        Give("timer");
    }
    Give("destroy");
}

// Replays the committed input; the name dialog takes its line from it too.
void ReplayInput(const std::vector<std::string>& lines) {
    std::size_t next = 0;
    fake::Fake().dialogScript = [&lines, &next] {
        ASSERT_LT(next, lines.size()) << "the input ends inside the name dialog";
        ASSERT_EQ(lines[next].rfind("name-dialog ", 0), 0u) << "the name dialog wants its line: " << lines[next];
        Give(lines[next++]);
    };
    while (next < lines.size()) Give(lines[next++]);
    fake::Fake().dialogScript = nullptr;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + '\n';
    return text;
}

std::vector<std::string> FileLines(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

int Count(const std::string& text, const std::string& line) {
    int count = 0;
    std::istringstream in(text);
    for (std::string got; std::getline(in, got);) count += got == line;
    return count;
}

}  // namespace

TEST_F(ShellTest, AWholeScriptedGameMatchesTheCommittedTrace) {
    fake::Fake().now = 20261209;
    Given() = Replay{};
    const char* update = std::getenv("QUARVELLE_UPDATE_TRACES");
    const bool rewrite = update != nullptr && std::string(update) == "1";
    if (rewrite) {
        PlayScriptedGame();
    } else {
        const std::vector<std::string> input = FileLines(InputPath);
        ASSERT_FALSE(input.empty()) << "missing " << InputPath << "; run with QUARVELLE_UPDATE_TRACES=1";
        ReplayInput(input);
    }
    ASSERT_TRUE(Game.gameOver) << "the game should be lost";
    ASSERT_TRUE(fake::Fake().quitPosted) << "the game should end with the program";

    const std::string actual = GameTrace();
    // What the game is there to show: a level change re-arming the timer
    // with the shorter period, and two rows removed by one landing.
    EXPECT_GE(Count(actual, "sound 804 wait"), 1);
    EXPECT_GE(Count(actual, "timer 1 750"), 1);
    bool twoRows = false;
    {
        std::istringstream in(actual);
        int rowsThisLanding = 0;
        for (std::string line; std::getline(in, line);) {
            if (line == "sound 805 wait") ++rowsThisLanding;
            if (line == "sound 802 wait") {
                twoRows |= rowsThisLanding >= 2;
                rowsThisLanding = 0;
            }
        }
    }
    EXPECT_TRUE(twoRows) << "no landing removed two rows";

    if (rewrite) {
        std::ofstream(InputPath, std::ios::binary) << Joined(Given().inputs);
        std::ofstream(TracePath, std::ios::binary) << actual;
        GTEST_SKIP() << "rewrote " << InputPath << " and " << TracePath;
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
