// The piece catalogue: what each of the seven kinds looks like, where it
// enters and how each of its blocks moves on every quarter turn.
#include "engine/pieces.h"

PieceTemplate PieceTemplates[PieceKinds];

namespace {

// Offsets are board index steps: +1 one column right, +10 one row down. Kinds
// 0 to 4 turn clockwise about their centre; the bar (5) flips between lying
// and standing and its centre follows its third block; the square never turns.
constexpr PieceTemplate PieceTable[PieceKinds] = {
    //  image               cells            centre  turn offsets: state 0 | 4 | 8 | 12
    {BlockImage::Blue,   {4, 5, 15, 16},   5,  {-9, 0, -11, -2,    11, 0, -9, -20,   9, 0, 11, 2,      -11, 0, 9, 20}},
    {BlockImage::Blue,   {14, 15, 16, 6},  5,  {-20, -11, -2, 9,   2, -9, -20, -11,  20, 11, 2, -9,    -2, 9, 20, 11}},
    {BlockImage::Yellow, {14, 15, 5, 6},   5,  {-20, -11, 0, 9,    2, -9, 0, -11,    20, 11, 0, -9,    -2, 9, 0, 11}},
    {BlockImage::Yellow, {4, 14, 15, 16},  5,  {-9, -20, -11, -2,  11, 2, -9, -20,   9, 20, 11, 2,     -11, -2, 9, 20}},
    {BlockImage::Purple, {14, 5, 15, 16},  15, {-9, 11, 0, 9,      11, 9, 0, -11,    9, -11, 0, -9,    -11, -9, 0, 11}},
    {BlockImage::Red,    {3, 4, 5, 6},     5,  {-8, 1, 10, 19,     21, 10, -1, -12,  8, -1, -10, -19,  -21, -10, 1, 12}},
    {BlockImage::Green,  {4, 5, 14, 15},   15, {0, 0, 0, 0,        0, 0, 0, 0,       0, 0, 0, 0,       0, 0, 0, 0}},
};

}  // namespace

void BuildPieceTemplates() {
    Game.activePiece = ActivePiece{};
    for (int kind = 0; kind < PieceKinds; ++kind) PieceTemplates[kind] = PieceTable[kind];
}
