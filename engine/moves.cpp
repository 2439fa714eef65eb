// Moving and turning the falling piece. Every move erases the piece, tests its
// target cells, and writes it either there or back where it was: a refused
// move leaves the board as it found it and draws and sounds nothing.
#include "engine/effects.h"
#include "engine/engine.h"
#include "engine/piece_cells.h"

namespace {

bool AnyBlock(bool (*test)(std::int32_t cell)) {
    for (std::int32_t cell : Game.activePiece.cells)
        if (test(cell)) return true;
    return false;
}

// A target off the board counts as occupied.
bool AllFree(const std::int32_t (&targets)[4]) {
    for (std::int32_t cell : targets)
        if (cell < 0 || cell >= BoardCells || Game.board.cells[cell] != BlockImage::Blank) return false;
    return true;
}

// Moves the piece `step` cells (centre included) when its targets are free.
// The piece's own cells count as free: it is erased before the test.
bool Shift(std::int32_t step) {
    ActivePiece& piece = Game.activePiece;
    WritePieceCells(BlockImage::Blank);
    std::int32_t targets[4];
    for (int i = 0; i < 4; ++i) targets[i] = piece.cells[i] + step;
    if (!AllFree(targets)) {
        WritePieceCells(piece.image);
        return false;
    }
    for (int i = 0; i < 4; ++i) piece.cells[i] = targets[i];
    piece.centre += step;
    WritePieceCells(piece.image);
    return true;
}

bool InFirstColumn(std::int32_t cell) { return cell % 10 == 0; }
bool InLastColumn(std::int32_t cell) { return (cell + 1) % 10 == 0; }
bool InLastRow(std::int32_t cell) { return cell + 10 > BoardCells - 1; }

constexpr int BarKind = 5;
constexpr int SquareKind = 6;
// The bar's two standing states, by the side its next turn lays it down to.
constexpr RotationState StandingBarReachingLeft = 4;
constexpr RotationState StandingBarReachingRight = 12;

}  // namespace

int MoveLeft() {
    if (AnyBlock(InFirstColumn) || !Shift(-1)) return 0;
    DrawBoard();
    PlaySoundCue(SoundCue::Drop);
    return 1;
}

int MoveRight() {
    if (AnyBlock(InLastColumn) || !Shift(1)) return 0;
    DrawBoard();
    PlaySoundCue(SoundCue::Drop);
    return 1;
}

// A step asked for by the down key earns its point with the first step that
// succeeds, by key or by tick; a refused step keeps the request waiting.
int MoveDown() {
    if (AnyBlock(InLastRow) || !Shift(BoardColumns)) return 0;
    if (Game.softDrop) {
        AddScore(1);
        DrawScoreBox();
        Game.softDrop = false;
        PlaySoundCue(SoundCue::Drop);
    }
    DrawBoard();
    return 1;
}

// Turns about the centre, which must lie off the field's edges: columns 1 to
// 8 and rows 1 to 16, so that no block of a turned piece wraps round to the
// other side or leaves the field. A refused turn changes nothing.
int Rotate() {
    if (Game.currentKind == SquareKind) {
        PlaySoundCue(SoundCue::Rotate);
        return 1;
    }
    ActivePiece& piece = Game.activePiece;
    const std::int32_t column = piece.centre % BoardColumns;
    const std::int32_t row = piece.centre / BoardColumns;
    if (column == 0 || column == BoardColumns - 1 || row == 0 || row == BoardRows - 1) return 0;
    if (Game.currentKind == BarKind) {
        // The standing bar lies down two blocks to one side of its centre and
        // one to the other: from state 4 two to the left, from state 12 two
        // to the right, so one column more must stay free on that side.
        if (Game.rotationState == StandingBarReachingLeft && column == 1) return 0;
        if (Game.rotationState == StandingBarReachingRight && column == BoardColumns - 2) return 0;
    }
    const RotationState state = Game.rotationState & 12;
    WritePieceCells(BlockImage::Blank);
    std::int32_t targets[4];
    for (int i = 0; i < 4; ++i) targets[i] = piece.cells[i] + piece.turnOffsets[state + i];
    if (!AllFree(targets)) {
        WritePieceCells(piece.image);
        return 0;
    }
    for (int i = 0; i < 4; ++i) piece.cells[i] = targets[i];
    if (Game.currentKind == BarKind) piece.centre = piece.cells[2];
    WritePieceCells(piece.image);
    DrawBoard();
    Game.rotationState = state >= 12 ? 0 : state + 4;
    PlaySoundCue(SoundCue::Rotate);
    return 1;
}
