// Level, speed and the start of a game. The fall timer is armed here and by
// the level change; only the end of a game (shell) stops it for good.
#include "engine/effects.h"
#include "engine/engine.h"
#include "engine/game_state.h"

namespace {

constexpr std::int32_t StartInterval = 800;
constexpr std::int32_t FastestStep = 50;  // at or below this the period no longer shrinks

// How much each level shortens the fall period, by the level risen from:
// 800 ms at level 1 down to 500 at level 7, then 480 at level 8 down to 40
// at level 30, where the period stops shrinking.
struct SpeedStep {
    std::int32_t fromLevel;   // first level this step applies to
    std::int32_t shortening;  // ms taken off the period per level
};

constexpr SpeedStep SpeedSteps[] = {
    //  from level   shortening
    {1, 50},
    {7, 20},
};

constexpr std::int32_t Shortening(std::int32_t level) {
    std::int32_t shortening = SpeedSteps[0].shortening;
    for (const SpeedStep& step : SpeedSteps)
        if (level >= step.fromLevel) shortening = step.shortening;
    return shortening;
}

// The steps must end the scale where the level does: 40 ms at level 30.
constexpr bool ScaleEndsAtFortyOnLevelThirty() {
    std::int32_t period = StartInterval;
    for (std::int32_t level = 1; level < 30; ++level) {
        if (period <= FastestStep) return false;
        period -= Shortening(level);
    }
    return period == 40 && period <= FastestStep;
}
static_assert(ScaleEndsAtFortyOnLevelThirty(), "the speed steps reach 40 ms at level 30 and stop there");

}  // namespace

void CheckLevel() {
    if (Game.level * 10 > Game.linesCleared) return;
    SpeedUp();
    DrawLevelBox();
    PlaySoundCue(SoundCue::LvlUp);
}

// One speed step a level; at 40 ms (level 30) the period and the level stay,
// but the timer is still re-armed.
void SpeedUp() {
    StopFallTimer(Game.fallTimerId);
    if (Game.fallInterval > FastestStep) {
        Game.fallInterval -= Shortening(Game.level);
        Game.level += 1;
    }
    ArmFallTimer(Game.fallTimerId, Game.fallInterval);
}

// Leaves gameOver, running and the falling piece's record alone: the caller
// decides whether play starts, and the first piece enters at the next tick.
// The best-score box shows bestScoreShown as the caller left it: the engine
// knows no table of results.
void NewGame() {
    ArmFallTimer(Game.fallTimerId, StartInterval);
    SeedDealer(static_cast<std::uint32_t>(ClockSeconds()));
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
