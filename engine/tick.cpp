// The fall tick: a new piece enters, or the falling one steps down or lands;
// a landing removes and scores full rows and applies the level rule.
#include "engine/effects.h"
#include "engine/engine.h"
#include "engine/piece_cells.h"
#include "engine/pieces.h"

namespace {

bool PieceCellsTaken() {
    for (std::int32_t cell : Game.activePiece.cells)
        if (Game.board.cells[cell] != BlockImage::Blank) return true;
    return false;
}

bool RowFull(int row) {
    for (int column = 0; column < BoardColumns; ++column)
        if (Game.board.cells[row * BoardColumns + column] == BlockImage::Blank) return false;
    return true;
}

}  // namespace

int Tick() {
    if (!Game.running) return 1;
    if (!Game.pieceFalling) {
        // The new piece is written in even where it does not fit, so that the
        // player sees what ended the game.
        Game.pieceFalling = true;
        Game.rotationState = 0;
        SpawnPiece();
        const bool blocked = PieceCellsTaken();
        WritePieceCells(Game.activePiece.image);
        DrawBoard();
        return blocked ? 0 : 1;
    }
    Game.pieceFalling = MoveDown() != 0;
    if (Game.pieceFalling) return 1;
    // The landed piece vanishes for the length of the landing sound.
    WritePieceCells(BlockImage::Blank);
    DrawBoard();
    PlaySoundCue(SoundCue::Set);
    WritePieceCells(Game.activePiece.image);
    DrawBoard();
    ClearFullRows();
    CheckLevel();
    return 1;
}

void SpawnPiece() {
    if (Game.currentKind < 0 || Game.currentKind >= PieceKinds)
        Game.currentKind = NextDealt() % PieceKinds;
    else
        Game.currentKind = Game.nextKind;
    Game.nextKind = NextDealt() % PieceKinds;
    DrawNextPiece();
    Game.activePiece = PieceTemplates[Game.currentKind];
}

// One pass from the top: a shift moves only rows already found not full, so
// every full row is met once, adjacent ones too. Rows are scored by their
// height at the moment they are removed.
void ClearFullRows() {
    bool removed = false;
    for (int row = 0; row < BoardRows; ++row) {
        if (!RowFull(row)) continue;
        for (int column = 0; column < BoardColumns; ++column)
            Game.board.cells[row * BoardColumns + column] = BlockImage::Blank;
        DrawBoard();
        PlaySoundCue(SoundCue::Duck);
        removed = true;
        ShiftRowsDown(row);
        AddScore(10 * (BoardRows - row));
        DrawScoreBox();
    }
    if (removed) PlaySoundCue(SoundCue::Gone);
}

// The top row is emptied after the shift, so that blocks standing in it are
// moved down rather than copied.
void ShiftRowsDown(int row) {
    for (int k = row; k >= 1; --k)
        for (int column = 0; column < BoardColumns; ++column)
            Game.board.cells[k * BoardColumns + column] = Game.board.cells[(k - 1) * BoardColumns + column];
    for (int column = 0; column < BoardColumns; ++column) Game.board.cells[column] = BlockImage::Blank;
    DrawBoard();
    Game.linesCleared += 1;
}
