// The window procedure: turns each window message into engine moves, ticks,
// button events and redraws, and the start-up that precedes the first one.
// Knows no window system: the front-ends deliver the messages and carry out
// the seam's requests.
#include "seam/game_entry.h"

#include "engine/engine.h"
#include "engine/game_state.h"
#include "engine/pieces.h"
#include "seam/platform.h"
#include "seam/window_geometry.h"
#include "render/draw.h"
#include "render/image_catalogue.h"
#include "scores/high_score_file.h"
#include "scores/high_score_table.h"
#include "shell/buttons.h"
#include "shell/game_over.h"
#include "seam/messages.h"
#include "shell/shell_state.h"

namespace {

// The down key earns the soft-drop point on the next step that succeeds,
// even when this one is refused.
int SoftDrop() {
    Game.softDrop = true;
    return MoveDown();
}

struct KeyMove {
    unsigned key;  // virtual-key code
    int (*move)();
};

constexpr KeyMove KeyMoves[] = {
    {msg::VkLeft, MoveLeft},   {msg::VkNumpad4, MoveLeft},
    {msg::VkUp, Rotate},       {msg::VkNumpad5, Rotate},
    {msg::VkRight, MoveRight}, {msg::VkNumpad6, MoveRight},
    {msg::VkDown, SoftDrop},   {msg::VkNumpad2, SoftDrop},
};

void KeyDown(std::uintptr_t wParam) {
    if (!Game.running || !Game.pieceFalling) return;
    const unsigned key = static_cast<unsigned>(wParam & 0xFF);
    for (const KeyMove& entry : KeyMoves) {
        if (entry.key == key) {
            entry.move();
            return;
        }
    }
}

// Tick does nothing while the game is not running, so outside a game the
// timer and the caption clicks change nothing.
void TickStep() {
    if (Tick() == 0) EndGame();
}

// A client point becomes a window point by the fixed size of the frame.
void ClientPress(std::intptr_t lParam) {
    const platform::WindowPoint point = platform::WindowPointFromClient(static_cast<int>(lParam & 0xFFFF),
                                                                        static_cast<int>((lParam >> 16) & 0xFFFF));
    const int x = point.x;
    const int y = point.y;
    if (CurrentScreen == ScreenMode::Game) {
        PanelButtonEvent(x, y, ButtonPhase::Press);
    } else {
        InfoButtonEvent(x, y, ButtonPhase::Press);
    }
}

// A release acts on the held control alone; its point is not looked at.
void ClientRelease() {
    if (CurrentScreen == ScreenMode::Game) {
        PanelButtonEvent(0, 0, ButtonPhase::Release);
    } else {
        InfoButtonEvent(0, 0, ButtonPhase::Release);
    }
}

}  // namespace

int StartUp() {
    LoadImages();
    BlankBoard();
    BuildPieceTemplates();
    if (!LoadHighScoreTable()) {
        // Where the default file has been written the next start succeeds;
        // where it could not be, the player is told why instead.
        const char* problem = HighScoreWriteProblem();
        const int answer = platform::ShowMessageBox(
            problem != nullptr ? problem : "High score file corrupted or missing, please restart game.", "Error",
            platform::Ok);
        // A message nobody saw is no answer: the start ends, but not as a
        // start that told the player what to do.
        if (answer == platform::Failed) platform::PostQuit(UnshownMessageExitCode);
        return 0;
    }
    Game.bestScoreShown = HighScores.entries[0].score;
    platform::SelectTextFont();
    RedrawGameScreen();
    return 1;
}

void MainWindowProc(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    switch (message) {
        case msg::Create:
        case msg::Paint:
            RedrawScreen();
            break;
        case msg::Activate:
            // Only a plain activation keeps the game going; a click or a
            // minimised window pauses it like losing the focus. Nothing here
            // resumes a game: only Go does.
            if (wParam != msg::ActiveFlag) Game.running = false;
            RedrawScreen();
            break;
        case msg::Destroy:
            FreeImages();
            platform::PostQuit(0);
            break;
        case msg::KeyDown:
            KeyDown(wParam);
            break;
        case msg::Timer:
            TickStep();
            break;
        case msg::LButtonDown:
            ClientPress(lParam);
            break;
        case msg::LButtonUp:
            ClientRelease();
            break;
        case msg::NcLButtonDown:
            // A caption glyph acts inside its press.
            FrameButtonEvent(lParam, ButtonPhase::Press);
            FrameButtonEvent(lParam, ButtonPhase::Release);
            TickStep();
            break;
        case msg::NcLButtonUp:
            FrameButtonEvent(lParam, ButtonPhase::Release);
            TickStep();
            break;
        default:
            break;
    }
}
