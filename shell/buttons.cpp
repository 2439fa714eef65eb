// The painted controls and the moves between screens: hit boxes, pressed
// faces and release actions as tables. Owns CurrentScreen and HeldButton;
// the game's rules stay in the engine, the pictures' places in the layout.
#include "shell/buttons.h"

#include "engine/effects.h"
#include "engine/game_state.h"
#include "seam/platform.h"
#include "render/draw.h"
#include "render/high_score_page.h"
#include "shell/game_over.h"
#include "seam/messages.h"
#include "shell/shell_state.h"

namespace {

// A hit box in window pixels, both ends included. The boxes of one screen
// never overlap, so a press hits at most one control.
struct HitBox {
    int left, right, top, bottom;
};

constexpr bool Hits(const HitBox& box, int x, int y) {
    return x > box.left - 1 && x < box.right + 1 && y > box.top - 1 && y < box.bottom + 1;
}

// The game screen's buttons. Their boxes lie 3 pixels right of and 2 below
// the faces, and the About press also pauses the game at once.
struct PanelButton {
    ButtonId id;
    HitBox box;
    ImageId pressedFace;
    bool pausesOnPress;
};

constexpr PanelButton PanelButtons[] = {
    //  control           x          y          pressed face
    {ButtonId::Go,    {43, 108, 61, 86},   ImgGoBD,    false},
    {ButtonId::Pause, {43, 108, 95, 120},  ImgPauseBD, false},
    {ButtonId::About, {43, 108, 129, 154}, ImgAboutBD, true},
    {ButtonId::Quit,  {43, 108, 163, 188}, ImgQuitBD,  false},
};

// The controls at the foot of the info pages. The back arrows of the side
// pages share the values of the caption glyphs.
struct InfoControl {
    ScreenMode page;
    ButtonId id;
    HitBox box;
    ImageId pressedFace;
};

constexpr InfoControl InfoControls[] = {
    //  page                    control               x            y           pressed face
    {ScreenMode::InfoCentre, ButtonId::InfoPlay,  {142, 207, 355, 379}, ImgDialogBD},
    {ScreenMode::InfoCentre, ButtonId::InfoLeft,  {31, 58, 360, 378},   ImgLeftBD},
    {ScreenMode::InfoCentre, ButtonId::InfoRight, {290, 317, 359, 377}, ImgRightBD},
    {ScreenMode::InfoLeft,   ButtonId::Minimise,  {290, 317, 359, 377}, ImgRightBD},
    {ScreenMode::InfoRight,  ButtonId::Close,     {31, 58, 360, 378},   ImgLeftBD},
};

// Navigation by the info pages' controls: one release moves one step and
// draws only the new screen.
struct PageMove {
    ScreenMode from;
    ButtonId held;
    ScreenMode to;
    void (*draw)();
};

constexpr PageMove PageMoves[] = {
    {ScreenMode::InfoCentre, ButtonId::InfoPlay,  ScreenMode::Game,       RedrawGameScreen},
    {ScreenMode::InfoCentre, ButtonId::InfoLeft,  ScreenMode::InfoLeft,   DrawLeftPage},
    {ScreenMode::InfoCentre, ButtonId::InfoRight, ScreenMode::InfoRight,  DrawRightPage},
    {ScreenMode::InfoLeft,   ButtonId::Minimise,  ScreenMode::InfoCentre, DrawHighScorePage},
    {ScreenMode::InfoRight,  ButtonId::Close,     ScreenMode::InfoCentre, DrawHighScorePage},
};

// The caption glyphs. Their boxes begin one pixel above the glyphs.
struct FrameButton {
    ButtonId id;
    HitBox box;
    ImageId pressedFace;
    unsigned request;  // posted on release
    std::uintptr_t requestParam;
};

constexpr FrameButton FrameButtons[] = {
    {ButtonId::Minimise, {306, 318, 8, 21}, ImgMinB,   msg::SysCommand, msg::ScMinimize},
    {ButtonId::Close,    {327, 339, 8, 21}, ImgCloseB, msg::Destroy,    0},
};

// Go starts a game when none is under way, else resumes a paused one; while
// a game runs it only shows itself pressed again.
void GoReleased() {
    if (!Game.running) {
        DrawFace(ImgPauseBU);
        Game.running = true;
    }
    DrawFace(ImgGoBD);
    if (Game.gameOver) {
        StartNewGame();
        Game.gameOver = false;
    }
}

// Pause never resumes: while paused it only shows itself pressed again.
void PauseReleased() {
    if (Game.running) {
        DrawFace(ImgGoBU);
        Game.running = false;
    }
    DrawFace(ImgPauseBD);
}

// The game was paused by the press already.
void AboutReleased() {
    DrawFace(ImgAboutBU);
    Game.running = false;
    CurrentScreen = ScreenMode::InfoCentre;
    DrawHighScorePage();
}

void QuitReleased() {
    DrawFace(ImgQuitBU);
    platform::PostWindowMessage(msg::Destroy, 0);
}

struct PanelAction {
    ButtonId held;
    void (*act)();
};

constexpr PanelAction PanelActions[] = {
    {ButtonId::Go, GoReleased},
    {ButtonId::Pause, PauseReleased},
    {ButtonId::About, AboutReleased},
    {ButtonId::Quit, QuitReleased},
};

}  // namespace

void PanelButtonEvent(int x, int y, ButtonPhase phase) {
    if (phase == ButtonPhase::Press) {
        for (const PanelButton& button : PanelButtons) {
            if (!Hits(button.box, x, y)) continue;
            DrawFace(button.pressedFace);
            HeldButton = button.id;
            HeldFromFrame = false;
            if (button.pausesOnPress) {
                DrawFace(ImgPauseBD);
                DrawFace(ImgGoBU);
                Game.running = false;
            }
            PlaySoundCue(SoundCue::Click);
            return;
        }
        return;
    }
    for (const PanelAction& action : PanelActions) {
        if (action.held == HeldButton) action.act();
    }
    // Whatever was held, a page's control or nothing, is let go here.
    HeldButton = ButtonId::None;
}

void InfoButtonEvent(int x, int y, ButtonPhase phase) {
    if (phase == ButtonPhase::Press) {
        for (const InfoControl& control : InfoControls) {
            if (control.page != CurrentScreen || !Hits(control.box, x, y)) continue;
            DrawFace(control.pressedFace);
            PlaySoundCue(SoundCue::Click);
            HeldButton = control.id;
            HeldFromFrame = false;
            return;
        }
        return;
    }
    for (const PageMove& move : PageMoves) {
        if (move.from != CurrentScreen || move.held != HeldButton) continue;
        CurrentScreen = move.to;
        HeldButton = ButtonId::None;
        move.draw();
        return;
    }
}

void FrameButtonEvent(std::intptr_t screenPoint, ButtonPhase phase) {
    if (phase == ButtonPhase::Press) {
        const platform::ScreenPoint origin = platform::WindowOrigin();
        const int x = msg::PointX(screenPoint) - origin.x;
        const int y = msg::PointY(screenPoint) - origin.y;
        for (const FrameButton& button : FrameButtons) {
            if (!Hits(button.box, x, y)) continue;
            HeldButton = button.id;
            HeldFromFrame = true;
            DrawFace(button.pressedFace);
            PlaySoundCue(SoundCue::Click);
            return;
        }
        return;
    }
    if (!HeldFromFrame) return;
    for (const FrameButton& button : FrameButtons) {
        if (button.id != HeldButton) continue;
        DrawCaptionStrip();
        platform::PostWindowMessage(button.request, button.requestParam);
        HeldButton = ButtonId::None;
        return;
    }
}

void RedrawScreen() {
    switch (CurrentScreen) {
        case ScreenMode::Game:
            RedrawGameScreen();
            break;
        case ScreenMode::InfoCentre:
            DrawConsole();
            DrawHighScorePage();
            break;
        case ScreenMode::InfoLeft:
            DrawConsole();
            DrawLeftPage();
            break;
        case ScreenMode::InfoRight:
            DrawConsole();
            DrawRightPage();
            break;
    }
}
