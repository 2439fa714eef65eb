// The three number boxes and the next-piece preview, drawn from the game's
// numbers. Reads Game only; formats into fixed buffers, never allocates.
#include <cstdio>

#include "seam/platform.h"
#include "render/draw.h"
#include "engine/pieces.h"
#include "render/layout.h"

// The box background goes down first, so no digit of a longer old number
// stays. The text is centred with the half pixel dropped toward zero, and a
// text wider than the box runs over both its sides.
void DrawNumberBox(int value, int top) {
    if (!ImagesLoaded()) return;
    char text[12];  // "-2147483648" and its terminator
    std::snprintf(text, sizeof text, "%d", value);
    const platform::TextSize size = platform::MeasureText(text);
    const Placement& box = Place(ScreenElement::LevelBox);  // the three boxes differ only in their top
    const int dx = (box.width - size.cx) / 2;
    const int dy = (box.height - size.cy) / 2;
    platform::CopyImage(box.image, box.x, top, box.width, box.height);
    platform::WriteText(box.x + dx, top + dy, text);
}

void DrawLevelBox() { DrawNumberBox(Game.level, Place(ScreenElement::LevelBox).y); }
void DrawScoreBox() { DrawNumberBox(Game.score, Place(ScreenElement::ScoreBox).y); }
void DrawBestScoreBox() { DrawNumberBox(Game.bestScoreShown, Place(ScreenElement::BestScoreBox).y); }

// "P0", the empty well, stands for no piece to come: after a game, and in the
// moment between Go starting a game and its first piece (nextKind 7).
void DrawNextPiece() {
    if (!ImagesLoaded()) return;
    const int kind = Game.nextKind;
    const bool pieceToCome = !Game.gameOver && kind >= 0 && kind < PieceKinds;
    const ImageId picture = pieceToCome ? static_cast<ImageId>(ImgP1 + kind) : ImgP0;
    const Placement& well = Place(ScreenElement::NextPiece);
    platform::CopyImage(picture, well.x, well.y, well.width, well.height);
}
