// The play field, the full redraw of the game screen, the button faces and
// the caption strip, read back from the recording fake's trace.
#include "render/layout.h"
#include "render_fixture.h"
#include "scores/high_score_table.h"

namespace {

using ScreenDrawing = RenderTest;

TEST_F(ScreenDrawing, BlankBoardIs180BlankCopiesCoveringTheField) {
    DrawBoard();
    const std::vector<fake::Event>& trace = fake::Fake().trace;
    ASSERT_EQ(trace.size(), 180u);
    for (const fake::Event& e : trace) {
        ASSERT_EQ(e.call, fake::Call::Copy);
        EXPECT_EQ(e.text, "BlankBlk");
        EXPECT_EQ(e.d, 20);
        EXPECT_EQ(e.e, 20);
    }
    const struct {
        int cell, x, y;
    } corners[] = {{0, 130, 40}, {9, 310, 40}, {10, 130, 60}, {170, 130, 380}, {179, 310, 380}};
    for (const auto& c : corners) {
        EXPECT_EQ(trace[c.cell].b, c.x) << "cell " << c.cell;
        EXPECT_EQ(trace[c.cell].c, c.y) << "cell " << c.cell;
    }
}

TEST_F(ScreenDrawing, BoardShowsEachCellsPictureRowByRowEveryCall) {
    Game.board.cells[0] = BlockImage::Blue;
    Game.board.cells[15] = BlockImage::Yellow;
    Game.board.cells[92] = BlockImage::Green;
    Game.board.cells[170] = BlockImage::Purple;
    Game.board.cells[179] = BlockImage::Red;
    DrawBoard();
    DrawBoard();  // unchanged board: still all 180 cells
    std::string expected(180, '.');
    expected[0] = 'B';
    expected[15] = 'Y';
    expected[92] = 'G';
    expected[170] = 'P';
    expected[179] = 'R';
    EXPECT_EQ(fake::BoardFrames(), (std::vector<std::string>{expected, expected}));
    EXPECT_EQ(fake::Fake().trace.size(), 360u);
}

std::vector<std::string> BoxLines(int value, int top) {
    const std::string text = std::to_string(value);
    const int width = 6 * static_cast<int>(text.size());  // the fake's default measure
    return {"measure \"" + text + "\"", "copy TextBox 39," + std::to_string(top) + " 69x22",
            "text " + std::to_string(39 + (69 - width) / 2) + "," + std::to_string(top + 4) + " \"" + text + "\""};
}

std::vector<std::string> BlankBoardLines() {
    std::vector<std::string> lines;
    for (int cell = 0; cell < BoardCells; ++cell)
        lines.push_back("copy BlankBlk " + std::to_string(130 + 20 * (cell % 10)) + "," +
                        std::to_string(40 + 20 * (cell / 10)) + " 20x20");
    return lines;
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST_F(ScreenDrawing, GameScreenIsConsoleScoreLevelPreviewBoardBestScore) {
    Game.score = 1234;
    Game.level = 7;
    Game.bestScoreShown = 50;
    Game.gameOver = false;
    Game.nextKind = 4;
    RedrawGameScreen();
    EXPECT_EQ(Lines(), Join({{"copy Console 0,0 350x420"}, BoxLines(1234, 320), BoxLines(7, 278),
                             {"copy P5 36,200 74x56"}, BlankBoardLines(), BoxLines(50, 367)}));
}

// What a paint shows in the game screen mode (the shell's full redraw picks
// this one there): every box at a fresh game's value and the empty well.
TEST_F(ScreenDrawing, GameScreenOfAFreshGame) {
    RedrawGameScreen();
    EXPECT_EQ(Lines(), Join({{"copy Console 0,0 350x420"}, BoxLines(0, 320), BoxLines(1, 278),
                             {"copy P0 36,200 74x56"}, BlankBoardLines(), BoxLines(0, 367)}));
}

TEST_F(ScreenDrawing, FacesAreDrawnAtTheirPlacesAtTheirSize) {
    const struct {
        ImageId face;
        const char* line;
    } cases[] = {
        {ImgGoBU, "copy GoBU 40,59 66x26"},          {ImgGoBD, "copy GoBD 40,59 66x26"},
        {ImgPauseBU, "copy PauseBU 40,93 66x26"},    {ImgPauseBD, "copy PauseBD 40,93 66x26"},
        {ImgAboutBU, "copy AboutBU 40,127 66x26"},   {ImgAboutBD, "copy AboutBD 40,127 66x26"},
        {ImgQuitBU, "copy QuitBU 40,161 66x26"},     {ImgQuitBD, "copy QuitBD 40,161 66x26"},
        {ImgMinB, "copy MinB 306,9 13x13"},          {ImgCloseB, "copy CloseB 327,9 13x13"},
        {ImgDialogBD, "copy DialogBD 141,356 66x26"}, {ImgLeftBD, "copy LeftBD 30,359 29x20"},
        {ImgRightBD, "copy RightBD 289,358 29x20"},
    };
    for (const auto& c : cases) {
        fake::ClearTrace();
        DrawFace(c.face);
        EXPECT_EQ(Lines(), std::vector<std::string>{c.line});
    }
    fake::ClearTrace();
    for (ImageId notFace : {ImgConsole, ImgDialog, ImgBlankBlk, ImgTextBox, ImgP3, NoImage}) DrawFace(notFace);
    EXPECT_TRUE(Lines().empty()) << fake::TraceText();
}

TEST_F(ScreenDrawing, CaptionStripIsTheTopOfTheConsole) {
    DrawCaptionStrip();
    EXPECT_EQ(Lines(), std::vector<std::string>{"copy Console 0,0 350x30"});
}

}  // namespace
