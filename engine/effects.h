// What the engine shows, sounds and asks of the clock. The engine calls these;
// the drawing layer (the boxes, the field, the preview) and the shell (the
// sounds, the fall timer, the seed's clock) carry them out. They are declared
// here, below both, so that the engine needs nothing from the layers above it.
#pragma once

#include <cstdint>

// The nine sounds, by the numbers of their resources.
enum class SoundCue : int {
    Drop = 801, Gone = 802, Set = 803, LvlUp = 804, Duck = 805,
    Rotate = 806, Gameo = 807, Click = 808, Wow = 809
};

// Plays the cue in its own mode: free cues return at once, waiting cues when
// the sound has ended. Without a sound device every call returns at once.
void PlaySoundCue(SoundCue cue);

// All 180 cells, row by row, every call.
void DrawBoard();
void DrawLevelBox();
void DrawScoreBox();
void DrawBestScoreBox();
// "P0" while the game is over (or before the first piece), else the next kind.
void DrawNextPiece();

// Arms (or re-arms with a new period) the fall timer `id`; its ticks reach
// Tick through the window procedure.
void ArmFallTimer(int id, int periodMs);
// Stops the fall timer `id`; a stopped timer ticks no more.
void StopFallTimer(int id);
// The clock's seconds, which seed the dealer of a new game.
std::int64_t ClockSeconds();
