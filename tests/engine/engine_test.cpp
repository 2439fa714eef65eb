// The rules of the game through the recording fake: what moves, what is
// refused, what is drawn and heard, and in which order.
#include <algorithm>
#include <cstdlib>

#include "tests/engine/engine_fixture.h"

namespace {

using fake::Call;

// The sounds of the trace as "801 free", "803 wait", ...
std::vector<std::string> Sounds() {
    std::vector<std::string> sounds;
    for (const fake::Event& e : fake::EventsOf(Call::Sound))
        sounds.push_back(std::to_string(e.a) + (e.b ? " wait" : " free"));
    return sounds;
}

int RowOf(int cell) { return cell / 10; }
int ColumnOf(int cell) { return cell % 10; }

TEST(Dealer, FollowsTheReferenceSequence) {
    SeedDealer(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169};
    for (int value : expected) EXPECT_EQ(NextDealt(), value);
}

TEST(Dealer, SameSeedSameDeal) {
    SeedDealer(1733788800u);
    std::vector<int> first;
    for (int i = 0; i < 50; ++i) first.push_back(NextDealt());
    SeedDealer(1733788800u);
    for (int value : first) EXPECT_EQ(NextDealt(), value);
}

TEST_F(EngineTest, TemplatesMatchTheirPreviewShapes) {
    // Start cells lie in rows 0 and 1, columns 3 to 6, and kinds 1 and 3 turn
    // about a centre that is none of their blocks.
    for (int kind = 0; kind < PieceKinds; ++kind) {
        for (int cell : PieceTemplates[kind].cells) {
            EXPECT_LE(RowOf(cell), 1) << kind;
            EXPECT_GE(ColumnOf(cell), 3) << kind;
            EXPECT_LE(ColumnOf(cell), 6) << kind;
        }
    }
    const std::vector<int> kind1(PieceTemplates[1].cells, PieceTemplates[1].cells + 4);
    EXPECT_EQ(std::count(kind1.begin(), kind1.end(), PieceTemplates[1].centre), 0);
    EXPECT_EQ(PieceTemplates[5].image, BlockImage::Red);
    EXPECT_EQ(PieceTemplates[4].image, BlockImage::Purple);
    EXPECT_EQ(PieceTemplates[6].image, BlockImage::Green);
}

// Four turns in open space bring every kind home, centre included; kinds 0 to
// 4 keep every block within one row and column of the centre.
TEST_F(EngineTest, FourTurnsComeHome) {
    for (int kind = 0; kind < 6; ++kind) {
        SCOPED_TRACE(kind);
        SetUp();
        Spawn(kind);
        for (int i = 0; i < 4; ++i) ASSERT_EQ(MoveDown(), 1);
        const std::vector<int> before = Cells();
        const int centre = Game.activePiece.centre;
        for (int turn = 0; turn < 4; ++turn) {
            fake::ClearTrace();
            ASSERT_EQ(Rotate(), 1) << "turn " << turn;
            EXPECT_EQ(Game.rotationState, (turn + 1) % 4 * 4);
            EXPECT_EQ(fake::BoardFrames().size(), 1u);
            EXPECT_EQ(Sounds(), std::vector<std::string>{"806 free"});
            for (int cell : Cells()) {
                EXPECT_EQ(Game.board.cells[cell], PieceTemplates[kind].image);
                if (kind < 5) {
                    EXPECT_LE(std::abs(RowOf(cell) - RowOf(Game.activePiece.centre)), 1);
                    EXPECT_LE(std::abs(ColumnOf(cell) - ColumnOf(Game.activePiece.centre)), 1);
                }
            }
        }
        EXPECT_EQ(Cells(), before);
        EXPECT_EQ(Game.activePiece.centre, centre);
        const std::string board = BoardText();
        EXPECT_EQ(std::count(board.begin(), board.end(), '.'), 176);
    }
}

TEST_F(EngineTest, KindOneTurnsClockwiseAboutItsCentre) {
    Spawn(1);  // row 0: column 6; row 1: columns 4, 5, 6
    ASSERT_EQ(MoveDown(), 1);
    ASSERT_EQ(Rotate(), 1);
    // A block at row r, column c from the centre moves to row c, column -r.
    EXPECT_EQ(Cells(), (std::vector<int>{4, 14, 24, 25}));
}

TEST_F(EngineTest, SquareAlwaysTurnsAndNothingMoves) {
    Spawn(6);
    const std::string board = BoardText();
    fake::ClearTrace();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Rotate(), 1);
    EXPECT_EQ(BoardText(), board);
    EXPECT_EQ(Game.rotationState, 0);
    EXPECT_TRUE(fake::BoardFrames().empty());
    EXPECT_EQ(Sounds(), (std::vector<std::string>{"806 free", "806 free", "806 free"}));
}

// Each case brings a piece to a place where one operation must be refused;
// the refusal must leave the board, the piece and the trace untouched.
struct Refusal {
    const char* name;
    int kind;
    const char* setup;  // d down, l left, r right, t turn (each must succeed)
    int (*operation)();
};

const Refusal Refusals[] = {
    {"left at the wall", 0, "dllll", MoveLeft},
    {"right at the wall", 3, "drrr", MoveRight},
    {"down on the floor", 6, "dddddddddddddddd", MoveDown},
    {"fresh kind 0 turns", 0, "", Rotate},
    {"fresh kind 1 turns", 1, "", Rotate},
    {"fresh kind 2 turns", 2, "", Rotate},
    {"fresh kind 3 turns", 3, "", Rotate},
    {"fresh bar turns", 5, "", Rotate},
    {"centre in column 0", 4, "dtlllll", Rotate},
    {"centre in column 9", 3, "dtrrrr", Rotate},
    {"flat piece in row 17", 4, "dddddddddddddddd", Rotate},
    {"standing bar, centre in column 1", 5, "dtllll", Rotate},
    {"standing bar, centre in column 8", 5, "dtttrrrr", Rotate},
    {"lying bar in row 16", 5, "dddddddddddddddd", Rotate},
};

TEST_F(EngineTest, RefusedMovesChangeNothing) {
    for (const Refusal& refusal : Refusals) {
        SCOPED_TRACE(refusal.name);
        SetUp();
        Spawn(refusal.kind);
        for (const char* step = refusal.setup; *step; ++step) {
            int (*move)() = *step == 'd' ? MoveDown : *step == 'l' ? MoveLeft : *step == 'r' ? MoveRight : Rotate;
            ASSERT_EQ(move(), 1) << "setup step " << (step - refusal.setup);
        }
        const std::string board = BoardText();
        const ActivePiece piece = Game.activePiece;
        const RotationState state = Game.rotationState;
        fake::ClearTrace();
        EXPECT_EQ(refusal.operation(), 0);
        EXPECT_EQ(BoardText(), board);
        EXPECT_EQ(std::vector<int>(Game.activePiece.cells, Game.activePiece.cells + 4),
                  std::vector<int>(piece.cells, piece.cells + 4));
        EXPECT_EQ(Game.activePiece.centre, piece.centre);
        EXPECT_EQ(Game.rotationState, state);
        EXPECT_TRUE(fake::Fake().trace.empty()) << fake::TraceText();
    }
}

TEST_F(EngineTest, SettledBlocksRefuseMovesAndTurns) {
    Spawn(4);  // row 0: column 5; row 1: columns 4, 5, 6
    ASSERT_EQ(MoveDown(), 1);
    Game.board.cells[23] = BlockImage::Red;  // beside the flat row
    Game.board.cells[27] = BlockImage::Red;
    Game.board.cells[35] = BlockImage::Red;  // below it, where a turn would go
    const std::string board = BoardText();
    fake::ClearTrace();
    EXPECT_EQ(MoveLeft(), 0);
    EXPECT_EQ(MoveRight(), 0);
    EXPECT_EQ(Rotate(), 0);
    EXPECT_EQ(MoveDown(), 0);
    EXPECT_EQ(BoardText(), board);
    EXPECT_TRUE(fake::Fake().trace.empty());
}

TEST_F(EngineTest, BarMovesIntoItsOwnCells) {
    Spawn(5);
    ASSERT_EQ(MoveDown(), 1);
    ASSERT_EQ(Rotate(), 1);  // standing in column 5, rows 0 to 3
    SetRow(4, "..........");
    EXPECT_EQ(MoveDown(), 1);
    SetRow(5, ".....#....");
    EXPECT_EQ(MoveDown(), 0);
}

TEST_F(EngineTest, SuccessfulSideStepDrawsThenSounds) {
    Spawn(2);
    fake::ClearTrace();
    ASSERT_EQ(MoveRight(), 1);
    const std::vector<std::string> lines = fake::TraceLines();
    ASSERT_EQ(lines.size(), 181u);
    EXPECT_EQ(lines.back(), "sound 801 free");
    EXPECT_EQ(fake::BoardFrames().at(0), BoardText());
}

// A down-key step that is refused keeps its point waiting for the next step
// down that succeeds, here one made by the tick.
TEST_F(EngineTest, SoftDropPointCarriesOverARefusedStep) {
    Spawn(6);
    SetRow(2, "....#.....");
    Game.softDrop = true;
    EXPECT_EQ(MoveDown(), 0);
    EXPECT_TRUE(Game.softDrop);
    EXPECT_EQ(Game.score, 0);
    SetRow(2, "..........");
    fake::ClearTrace();
    ASSERT_EQ(Tick(), 1);
    EXPECT_EQ(Game.score, 1);
    EXPECT_FALSE(Game.softDrop);
    const std::vector<std::string> lines = fake::TraceLines();
    ASSERT_GE(lines.size(), 4u);
    // The score box before the board.
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 4),
              (std::vector<std::string>{"measure \"1\"", "copy TextBox 39,320 69x22", "text 70,324 \"1\"",
                                        "sound 801 free"}));
    EXPECT_EQ(fake::BoardFrames().size(), 1u);

    fake::ClearTrace();
    ASSERT_EQ(Tick(), 1);  // an ordinary fall: no point, no sound
    EXPECT_EQ(Game.score, 1);
    EXPECT_TRUE(Sounds().empty());
}

TEST_F(EngineTest, LandingHidesThePieceWhileItsSoundPlays) {
    Spawn(6);
    for (int i = 0; i < 16; ++i) ASSERT_EQ(Tick(), 1);
    const std::string landed = BoardText();
    fake::ClearTrace();
    ASSERT_EQ(Tick(), 1);
    EXPECT_FALSE(Game.pieceFalling);
    EXPECT_EQ(BoardText(), landed);
    const std::vector<std::string> frames = fake::BoardFrames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], std::string(180, '.'));
    EXPECT_EQ(frames[1], landed);
    const std::vector<std::string> lines = fake::TraceLines();
    ASSERT_EQ(lines.size(), 361u);
    EXPECT_EQ(lines[180], "sound 803 wait");
    // A key between the landing and the next spawn does nothing; the next tick
    // brings the next piece.
    ASSERT_EQ(Tick(), 1);
    EXPECT_TRUE(Game.pieceFalling);
}

struct RowCase {
    std::vector<int> fullRows;
    int points;
};

TEST_F(EngineTest, RowsAreScoredByTheirHeight) {
    const RowCase cases[] = {
        {{16, 17}, 30},
        {{10, 17}, 90},
        {{0}, 180},
        {{14, 15, 16, 17}, 100},
        {{}, 0},
    };
    for (const RowCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.fullRows));
        SetUp();
        SetRow(15, "#.........");  // a marker block above the full rows
        for (int row : c.fullRows) SetRow(row, "##########");
        fake::ClearTrace();
        ClearFullRows();
        EXPECT_EQ(Game.score, c.points);
        EXPECT_EQ(Game.linesCleared, static_cast<int>(c.fullRows.size()));
        std::vector<std::string> expected(c.fullRows.size(), "805 wait");
        if (!c.fullRows.empty()) expected.push_back("802 wait");
        EXPECT_EQ(Sounds(), expected);
        const std::string board = BoardText();
        EXPECT_EQ(std::count(board.begin(), board.end(), 'R'),
                  std::count(c.fullRows.begin(), c.fullRows.end(), 15) ? 0 : 1);
        // Each removal shows the row empty, then the shift, then the score.
        EXPECT_EQ(fake::BoardFrames().size(), 2 * c.fullRows.size());
    }
}

TEST_F(EngineTest, TopRowMovesDownInsteadOfBeingCopied) {
    SetRow(0, "#.........");
    SetRow(5, "##########");
    ClearFullRows();
    EXPECT_EQ(Game.board.cells[0], BlockImage::Blank);
    EXPECT_EQ(Game.board.cells[10], BlockImage::Red);
    EXPECT_EQ(Game.score, 130);
}

TEST_F(EngineTest, LevelAndSpeedFollowTheTable) {
    int expectedInterval[31] = {};
    for (int level = 1; level <= 30; ++level)
        expectedInterval[level] = level <= 7 ? 800 - 50 * (level - 1) : level < 30 ? 500 - 20 * (level - 7) : 40;
    EXPECT_EQ(expectedInterval[29], 60);
    for (int lines = 0; lines <= 320; ++lines) {
        Game.linesCleared = lines;
        fake::ClearTrace();
        const int before = Game.level;
        CheckLevel();
        if (before * 10 <= lines) {
            const std::vector<std::string> trace = fake::TraceLines();
            ASSERT_EQ(trace.size(), 6u) << lines;
            EXPECT_EQ(trace[0], "kill timer 1");
            EXPECT_EQ(trace[1], "timer 1 " + std::to_string(Game.fallInterval));
            EXPECT_EQ(trace[3], "copy TextBox 39,278 69x22");
            EXPECT_EQ(trace[5], "sound 804 wait");
        } else {
            EXPECT_TRUE(fake::Fake().trace.empty()) << lines;
        }
        EXPECT_EQ(Game.level, std::min(30, lines / 10 + 1)) << lines;
        EXPECT_EQ(Game.fallInterval, expectedInterval[Game.level]) << lines;
    }
}

TEST_F(EngineTest, FourRowsAtOnceRaiseOneLevel) {
    Game.linesCleared = 12;  // rows 8 to 12 removed in one landing
    CheckLevel();
    EXPECT_EQ(Game.level, 2);
    EXPECT_EQ(Game.fallInterval, 750);
}

// The best score shown is the caller's (the shell puts the table's top there
// first): NewGame keeps it and draws it last.
TEST_F(EngineTest, NewGameResetsAndRedrawsInOrder) {
    Game.bestScoreShown = 4321;
    Game.gameOver = true;
    Game.running = false;
    Game.score = 99999;
    Game.level = 12;
    Game.linesCleared = 120;
    Game.fallInterval = 400;
    Game.softDrop = true;
    Game.pieceFalling = true;
    Game.currentKind = 3;
    Game.rotationState = 8;
    SetRow(17, "#########.");
    fake::Fake().now = 1234567;
    fake::ClearTrace();
    NewGame();
    EXPECT_TRUE(Game.gameOver);
    EXPECT_FALSE(Game.running);
    EXPECT_EQ(Game.score, 0);
    EXPECT_EQ(Game.level, 1);
    EXPECT_EQ(Game.linesCleared, 0);
    EXPECT_EQ(Game.fallInterval, 800);
    EXPECT_FALSE(Game.softDrop);
    EXPECT_FALSE(Game.pieceFalling);
    EXPECT_EQ(Game.currentKind, -1);
    EXPECT_EQ(Game.nextKind, 7);
    EXPECT_EQ(Game.rotationState, 0);
    EXPECT_EQ(Game.bestScoreShown, 4321);
    std::vector<std::string> lines = fake::TraceLines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "timer 1 800");
    EXPECT_EQ(lines[1], "time");
    EXPECT_EQ(lines[3], "copy TextBox 39,320 69x22");
    EXPECT_EQ(lines[6], "copy TextBox 39,278 69x22");
    EXPECT_EQ(lines[8], "copy P0 36,200 74x56");
    EXPECT_EQ(fake::BoardFrames(), std::vector<std::string>{std::string(180, '.')});
    EXPECT_EQ(lines[lines.size() - 2], "copy TextBox 39,367 69x22");
    EXPECT_EQ(lines.back(), "text 61,371 \"4321\"");

    // The first spawn deals the current kind from the generator, then the next.
    Game.running = true;
    Game.gameOver = false;
    ASSERT_EQ(Tick(), 1);
    SeedDealer(1234567);
    const int current = NextDealt() % 7;
    const int next = NextDealt() % 7;
    EXPECT_EQ(Game.currentKind, current);
    EXPECT_EQ(Game.nextKind, next);
}

TEST_F(EngineTest, TickDoesNothingWhileFrozen) {
    for (bool falling : {false, true}) {
        Game.running = false;
        Game.pieceFalling = falling;
        const std::string board = BoardText();
        fake::ClearTrace();
        EXPECT_EQ(Tick(), 1);
        EXPECT_EQ(BoardText(), board);
        EXPECT_EQ(Game.pieceFalling, falling);
        EXPECT_TRUE(fake::Fake().trace.empty());
    }
}

TEST_F(EngineTest, SpawnOntoOccupiedCellsEndsTheGame) {
    SetRow(1, "....#.....");
    Game.currentKind = 0;
    Game.nextKind = 6;  // the square needs row 1, column 4
    fake::ClearTrace();
    EXPECT_EQ(Tick(), 0);
    EXPECT_TRUE(Game.pieceFalling);
    for (int cell : Cells()) EXPECT_EQ(Game.board.cells[cell], BlockImage::Green);
    const std::vector<std::string> lines = fake::TraceLines();
    EXPECT_EQ(lines.front().rfind("copy P", 0), 0u);  // the new preview first
    EXPECT_EQ(fake::BoardFrames().size(), 1u);
}

TEST_F(EngineTest, SpawnThatFitsButCannotFallLandsNextTick) {
    SetRow(2, "....#.....");
    Spawn(6);
    EXPECT_TRUE(Game.pieceFalling);
    EXPECT_EQ(Tick(), 1);
    EXPECT_FALSE(Game.pieceFalling);
}

TEST_F(EngineTest, ASpawnCarriesNothingOverFromThePreviousPiece) {
    Spawn(5);
    ASSERT_EQ(MoveDown(), 1);
    ASSERT_EQ(Rotate(), 1);
    SetRow(0, "..........");
    SetRow(1, "..........");
    SetRow(2, "..........");
    SetRow(3, "..........");
    Spawn(5);
    EXPECT_EQ(Cells(), (std::vector<int>{3, 4, 5, 6}));
    EXPECT_EQ(Game.activePiece.centre, 5);
    EXPECT_EQ(Game.rotationState, 0);
}

}  // namespace
