// The seven piece kinds: their pictures, start cells, centres and turn offsets.
#pragma once

#include "engine/game_state.h"

constexpr int PieceKinds = 7;

// Built once at start-up by BuildPieceTemplates, never changed afterwards.
extern PieceTemplate PieceTemplates[PieceKinds];

// Clears the falling piece, then fills the seven templates from the piece
// table.
void BuildPieceTemplates();
