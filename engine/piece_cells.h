// Writing the falling piece into the board: shared by the moves and the tick.
// Engine-private; nothing outside engine/ includes it.
#pragma once

#include "engine/game_state.h"

// Writes `image` into the four cells of the falling piece.
inline void WritePieceCells(BlockImage image) {
    for (std::int32_t cell : Game.activePiece.cells) Game.board.cells[cell] = image;
}
