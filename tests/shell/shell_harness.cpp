// The shell's test harness: scratch directory, start-up and message helpers.
#include "tests/shell/shell_harness.h"

#include <unistd.h>

#include <string>
#include <system_error>
#include <cstdlib>
#include <filesystem>

#include "engine/game_state.h"
#include "seam/window_geometry.h"
#include "scores/high_score_file.h"
#include "seam/messages.h"
#include "shell/shell_state.h"
#include "seam/game_entry.h"

namespace {

bool IsBoardCell(const fake::Event& e) {
    return e.call == fake::Call::Copy && e.d == 20 && e.e == 20 && e.b >= 130 && e.b < 330 && e.c >= 40 &&
           e.c < 400;
}

bool IsDetail(const fake::Event& e) {
    if (e.call == fake::Call::Text || e.call == fake::Call::Measure) return true;
    return e.call == fake::Call::Copy && (e.text == "TextBox" || (e.text.size() == 2 && e.text[0] == 'P'));
}

// The scratch directory now current; removed when the next is made and when
// the test program ends, so no run leaves files behind.
std::filesystem::path& ScratchDir() {
    static std::filesystem::path dir;
    return dir;
}

void RemoveScratchDir() {
    if (ScratchDir().empty()) return;
    std::error_code ignored;
    std::filesystem::current_path(std::filesystem::temp_directory_path(), ignored);
    std::filesystem::remove_all(ScratchDir(), ignored);
    ScratchDir().clear();
}

std::intptr_t ClientPoint(int x, int y) {
    const platform::WindowPoint client = platform::ClientPointFromWindow(x, y);
    return msg::PackPoint(client.x, client.y);
}

std::intptr_t ScreenPointOf(int x, int y) {
    const platform::ScreenPoint origin = fake::Fake().origin;
    return msg::PackPoint(origin.x + x, origin.y + y);
}

}  // namespace

void ResetShellWorld() {
    fake::ResetFake();
    Game = GameState{};
    CurrentScreen = ScreenMode::Game;
    HeldButton = ButtonId::None;
    HeldFromFrame = false;
    // Made before the exit handler is registered, so it outlives the handler.
    ScratchDir();
    static const bool cleanUpAtExit = std::atexit(RemoveScratchDir) == 0;
    (void)cleanUpAtExit;
    RemoveScratchDir();
    std::string pattern = (std::filesystem::temp_directory_path() / "quarvelle-shell-XXXXXX").string();
    const char* dir = mkdtemp(pattern.data());
    ASSERT_NE(dir, nullptr);
    ScratchDir() = dir;
    ASSERT_EQ(chdir(dir), 0);
}

void ShellTest::SetUp() {
    ResetShellWorld();
    ASSERT_EQ(WriteDefaultHighScoreFile(), 1);
    ASSERT_EQ(StartUp(), 1);
    fake::ClearTrace();
}

void Send(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) { MainWindowProc(message, wParam, lParam); }

void PressAt(int x, int y) { Send(msg::LButtonDown, 0, ClientPoint(x, y)); }
void ReleaseAt(int x, int y) { Send(msg::LButtonUp, 0, ClientPoint(x, y)); }
void ClickAt(int x, int y) {
    PressAt(x, y);
    ReleaseAt(x, y);
}
void CaptionPressAt(int x, int y) { Send(msg::NcLButtonDown, 2, ScreenPointOf(x, y)); }
void CaptionReleaseAt(int x, int y) { Send(msg::NcLButtonUp, 2, ScreenPointOf(x, y)); }

Lines Summary() {
    Lines lines;
    bool inBoard = false;
    for (const fake::Event& e : fake::Fake().trace) {
        if (IsBoardCell(e)) {
            // Every drawing of the field starts again at its first cell.
            if (!inBoard || (e.b == 130 && e.c == 40)) lines.push_back("board");
            inBoard = true;
            continue;
        }
        inBoard = false;
        if (!IsDetail(e)) lines.push_back(fake::Describe(e));
    }
    return lines;
}

Lines TakeSummary() {
    Lines lines = Summary();
    fake::ClearTrace();
    return lines;
}

Lines From(const Lines& lines, const std::string& first) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i] == first) return Lines(lines.begin() + static_cast<long>(i), lines.end());
    return {};
}

bool Contains(const Lines& lines, const std::string& wanted) {
    for (const std::string& line : lines)
        if (line == wanted) return true;
    return false;
}

void StartGameWithPiece() {
    ClickAt(50, 70);  // Go
    Send(msg::Timer);
    ASSERT_TRUE(Game.running);
    ASSERT_TRUE(Game.pieceFalling);
    fake::ClearTrace();
}

void FillBoard() {
    for (BlockImage& cell : Game.board.cells) cell = BlockImage::Blue;
}
