// Level, speed and the start of a game. The fall timer is armed here and by
// the level change; only the end of a game (shell) stops it for good.
#include "engine/engine.h"
#include "platform/platform.h"
#include "render/draw.h"
#include "shell/sound_cues.h"

namespace {

constexpr std::int32_t StartInterval = 800;
constexpr std::int32_t FastestStep = 50;  // below this the period no longer shrinks

}  // namespace

void CheckLevel() {
    if (Game.level * 10 > Game.linesCleared) return;
    SpeedUp();
    DrawLevelBox();
    PlaySoundCue(SoundCue::LvlUp);
}

// 50 ms faster a level up to level 7, then 20 ms; at 40 ms (level 30) the
// period and the level stay, but the timer is still re-armed.
void SpeedUp() {
    platform::StopTimer(Game.fallTimerId);
    if (Game.fallInterval > FastestStep) {
        Game.fallInterval -= Game.level < 7 ? 50 : 20;
        Game.level += 1;
    }
    platform::ArmTimer(Game.fallTimerId, Game.fallInterval);
}

// Leaves gameOver, running and the falling piece's record alone: the caller
// decides whether play starts, and the first piece enters at the next tick.
// The best-score box shows bestScoreShown as the caller left it: the engine
// knows no table of results.
void NewGame() {
    platform::ArmTimer(Game.fallTimerId, StartInterval);
    SeedDealer(static_cast<std::uint32_t>(platform::TimeSeconds()));
    BlankBoard();
    Game.rotationState = 0;
    Game.softDrop = false;
    Game.pieceFalling = false;
    Game.currentKind = -1;
    Game.nextKind = 7;
    Game.fallTimerId = 1;
    Game.fallInterval = StartInterval;
    Game.level = 1;
    Game.linesCleared = 0;
    Game.score = 0;
    DrawScoreBox();
    DrawLevelBox();
    DrawNextPiece();
    DrawBoard();
    DrawBestScoreBox();
}
