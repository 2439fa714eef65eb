// The console, the play field, the side pages, the button faces and the full
// redraw of the game screen. Draws only: never changes the game, and knows no
// screen mode (the shell picks what a full redraw shows).
#include "seam/platform.h"
#include "render/draw.h"
#include "render/layout.h"

namespace {

void CopyWhole(ScreenElement element) {
    const Placement& place = Place(element);
    platform::CopyImage(place.image, place.x, place.y, place.width, place.height);
}

}  // namespace

void DrawConsole() {
    if (!ImagesLoaded()) return;
    CopyWhole(ScreenElement::WholeWindow);
}

// Every cell, every call, whatever changed: the falling piece is simply part
// of the board, so there is nothing to track.
void DrawBoard() {
    if (!ImagesLoaded()) return;
    for (int cell = 0; cell < BoardCells; ++cell)
        platform::CopyImage(ImageOf(Game.board.cells[cell]), CellX(cell), CellY(cell), CellSize, CellSize);
}

void DrawLeftPage() {
    if (!ImagesLoaded()) return;
    CopyWhole(ScreenElement::LeftPage);
}

void DrawRightPage() {
    if (!ImagesLoaded()) return;
    CopyWhole(ScreenElement::RightPage);
}

// The console first, so nothing of an info page survives, then every variable
// element over it. Button faces come back raised, as the console shows them.
void RedrawGameScreen() {
    if (!ImagesLoaded()) return;
    DrawConsole();
    DrawScoreBox();
    DrawLevelBox();
    DrawNextPiece();
    DrawBoard();
    DrawBestScoreBox();
}

// A picture that is no face (the console, a page, a block) has no place of its
// own to be drawn at, and is not drawn.
void DrawFace(ImageId image) {
    if (!ImagesLoaded()) return;
    const Placement* place = FacePlace(image);
    if (place == nullptr) return;
    platform::CopyImage(image, place->x, place->y, place->width, place->height);
}

void DrawCaptionStrip() {
    if (!ImagesLoaded()) return;
    CopyWhole(ScreenElement::CaptionStrip);
}
