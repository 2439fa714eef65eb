// engine/ holds the rules of the game; it includes nothing outside itself.
// The game's rules as operations on Game: moves, the fall tick, row removal,
// score, level and the start of a game. Each draws and sounds its own effects
// through the renderer and the sound cues; none touches a file or a window.
#pragma once

#include <cstdint>

// Moves and turns of the falling piece: 1 when done, 0 when refused. A refused
// move leaves the board exactly as it was and draws and sounds nothing.
int MoveLeft();
int MoveRight();
int MoveDown();
int Rotate();

// One tick of the fall timer: 0 when the piece that just entered did not fit
// (the game is lost), else 1. Does nothing while the game is not running.
int Tick();
void SpawnPiece();
void ClearFullRows();
void ShiftRowsDown(int row);

// Raises the level when ten rows per level have been removed.
void CheckLevel();
void SpeedUp();
// Puts the counters, the board and the fall timer back to a game's start and
// draws them, the best-score box with bestScoreShown as it stands.
void NewGame();

// The dealing generator: the same seed deals the same pieces on every platform.
void SeedDealer(std::uint32_t seed);
int NextDealt();  // 0 to 32767
