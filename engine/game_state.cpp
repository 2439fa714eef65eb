// The game in play, and the one operation that belongs to the record itself.
#include "engine/game_state.h"

GameState Game;

void AddScore(std::int32_t points) { Game.score += points; }

void BlankBoard() {
    for (BlockImage& cell : Game.board.cells) cell = BlockImage::Blank;
}
