// Loading and releasing the pictures, the cell pictures, and the rule that
// nothing is drawn while no pictures are loaded.
#include <algorithm>
#include <functional>

#include "render/layout.h"
#include "render_fixture.h"
#include "render/high_score_page.h"

namespace {

using Catalogue = RenderTest;

TEST_F(Catalogue, LoadsThe32PicturesInTableOrderUnderTheirOwnIds) {
    FreeImages();
    fake::ResetFake();
    ASSERT_EQ(LoadImages(), 1);
    EXPECT_TRUE(ImagesLoaded());
    const std::vector<std::string> expected = {
        "Console", "MinB", "CloseB", "Dialog", "BlueBlk", "YellowBlk", "GreenBlk", "PurpleBlk",
        "RedBlk", "BlankBlk", "LeftDialog", "RightDialog", "LeftBD", "RightBD", "DialogBD", "GoBU",
        "GoBD", "PauseBU", "PauseBD", "AboutBU", "AboutBD", "QuitBU", "QuitBD", "TextBox",
        "P0", "P1", "P2", "P3", "P4", "P5", "P6", "P7"};
    const std::vector<fake::Event> loads = fake::EventsOf(fake::Call::LoadImage);
    ASSERT_EQ(loads.size(), expected.size());
    ASSERT_EQ(fake::Fake().trace.size(), expected.size()) << "loading draws nothing";
    for (std::size_t i = 0; i < loads.size(); ++i) {
        EXPECT_EQ(loads[i].text, expected[i]);
        EXPECT_EQ(loads[i].a, static_cast<int>(i));
        EXPECT_STREQ(::Catalogue[i].name, expected[i].c_str());
    }
}

// The pictures are the renderer's; the board is the game's, and the start-up
// blanks it (tests/shell).
TEST_F(Catalogue, LoadingLeavesTheBoardAlone) {
    for (int cell = 0; cell < BoardCells; ++cell) Game.board.cells[cell] = static_cast<BlockImage>(1 + cell % 5);
    LoadImages();
    for (int cell = 0; cell < BoardCells; ++cell)
        ASSERT_EQ(Game.board.cells[cell], static_cast<BlockImage>(1 + cell % 5)) << cell;
}

TEST_F(Catalogue, ReleasesTheSurfacesThenEachPictureOnceInReleaseOrder) {
    ASSERT_EQ(FreeImages(), 1);
    EXPECT_FALSE(ImagesLoaded());
    const std::vector<std::string> order = {
        "Console", "Dialog", "LeftDialog", "RightDialog", "DialogBD", "LeftBD", "RightBD", "MinB",
        "CloseB", "GoBU", "GoBD", "PauseBU", "PauseBD", "AboutBU", "AboutBD", "QuitBU", "QuitBD",
        "TextBox", "BlueBlk", "YellowBlk", "GreenBlk", "PurpleBlk", "RedBlk", "BlankBlk",
        "P0", "P1", "P2", "P3", "P4", "P5", "P6", "P7"};
    std::vector<std::string> expected = {"release surfaces"};
    for (const std::string& name : order) expected.push_back("free " + name);
    EXPECT_EQ(Lines(), expected);

    std::vector<int> ids;
    for (const fake::Event& e : fake::EventsOf(fake::Call::FreeImage)) ids.push_back(e.a);
    std::sort(ids.begin(), ids.end());
    for (int id = 0; id < ImageCount; ++id) EXPECT_EQ(ids[id], id) << "each id freed exactly once";

    fake::ClearTrace();
    FreeImages();
    EXPECT_TRUE(Lines().empty()) << "a second release frees nothing twice";
}

TEST_F(Catalogue, NothingIsDrawnBeforeLoadingOrAfterRelease) {
    const std::vector<std::pair<const char*, std::function<void()>>> requests = {
        {"DrawConsole", DrawConsole},
        {"DrawBoard", DrawBoard},
        {"DrawLeftPage", DrawLeftPage},
        {"DrawRightPage", DrawRightPage},
        {"RedrawGameScreen", RedrawGameScreen},
        {"DrawNumberBox", [] { DrawNumberBox(12, 278); }},
        {"DrawLevelBox", DrawLevelBox},
        {"DrawScoreBox", DrawScoreBox},
        {"DrawBestScoreBox", DrawBestScoreBox},
        {"DrawNextPiece", DrawNextPiece},
        {"DrawFace", [] { DrawFace(ImgGoBD); }},
        {"DrawCaptionStrip", DrawCaptionStrip},
        {"DrawHighScorePage", DrawHighScorePage},
    };
    FreeImages();
    fake::ResetFake();  // as at start-up: nothing loaded yet
    for (const auto& [name, request] : requests) request();
    EXPECT_TRUE(Lines().empty()) << fake::TraceText();
}

TEST_F(Catalogue, EachCellValueHasItsBlockPicture) {
    const struct {
        BlockImage value;
        ImageId picture;
    } cases[] = {
        {BlockImage::Blank, ImgBlankBlk}, {BlockImage::Blue, ImgBlueBlk},     {BlockImage::Yellow, ImgYellowBlk},
        {BlockImage::Green, ImgGreenBlk}, {BlockImage::Purple, ImgPurpleBlk}, {BlockImage::Red, ImgRedBlk},
    };
    for (const auto& c : cases) EXPECT_EQ(ImageOf(c.value), c.picture) << static_cast<int>(c.value);
    EXPECT_EQ(ImageOf(static_cast<BlockImage>(6)), ImgBlankBlk) << "a stray value shows empty";
    EXPECT_EQ(ImageOf(static_cast<BlockImage>(-1)), ImgBlankBlk);
}

}  // namespace
