// Where every element of the window is drawn: one table of rectangles in
// window pixels (origin at the outer top-left corner, caption included), read
// by every drawing function and by the shell for the button faces. Places
// only: what is clickable is the shell's own hit table.
#pragma once

#include "seam/window_geometry.h"
#include "render/image_catalogue.h"

enum class ScreenElement : int {
    WholeWindow, CaptionStrip, MinimiseGlyph, CloseGlyph,
    GoButton, PauseButton, AboutButton, QuitButton,
    NextPiece, LevelBox, ScoreBox, BestScoreBox, PlayField,
    HighScorePage, LeftPage, RightPage,
    InfoPlayButton, LeftArrow, RightArrow,
    Count
};

// No picture of its own: the element has no pressed look, or its raised look
// is part of a larger picture ("Console" or a page).
constexpr ImageId NoImage = ImageCount;

struct Placement {
    ScreenElement element;
    int x;
    int y;
    int width;
    int height;
    ImageId image;    // what is copied there; a button's raised face
    ImageId pressed;  // the pressed face drawn over it
};

// Every copy takes its picture from the picture's own 0,0. The preview shows
// "P0" to "P7" and the play field its cells' pictures; the rows name the
// empty look of each.
constexpr Placement Layout[] = {
    // element                     x    y  width height image        pressed
    {ScreenElement::WholeWindow,      0,   0, platform::WindowWidth, platform::WindowHeight, ImgConsole, NoImage},
    {ScreenElement::CaptionStrip,     0,   0, platform::WindowWidth,  30, ImgConsole,     NoImage},
    {ScreenElement::MinimiseGlyph,  306,   9,  13,  13, NoImage,        ImgMinB},
    {ScreenElement::CloseGlyph,     327,   9,  13,  13, NoImage,        ImgCloseB},
    {ScreenElement::GoButton,        40,  59,  66,  26, ImgGoBU,        ImgGoBD},
    {ScreenElement::PauseButton,     40,  93,  66,  26, ImgPauseBU,     ImgPauseBD},
    {ScreenElement::AboutButton,     40, 127,  66,  26, ImgAboutBU,     ImgAboutBD},
    {ScreenElement::QuitButton,      40, 161,  66,  26, ImgQuitBU,      ImgQuitBD},
    {ScreenElement::NextPiece,       36, 200,  74,  56, ImgP0,          NoImage},
    {ScreenElement::LevelBox,        39, 278,  69,  22, ImgTextBox,     NoImage},
    {ScreenElement::ScoreBox,        39, 320,  69,  22, ImgTextBox,     NoImage},
    {ScreenElement::BestScoreBox,    39, 367,  69,  22, ImgTextBox,     NoImage},
    {ScreenElement::PlayField,      130,  40, 200, 360, ImgBlankBlk,    NoImage},
    {ScreenElement::HighScorePage,   19,  39, 311, 361, ImgDialog,      NoImage},
    {ScreenElement::LeftPage,        19,  39, 311, 361, ImgLeftDialog,  NoImage},
    {ScreenElement::RightPage,       19,  39, 311, 361, ImgRightDialog, NoImage},
    {ScreenElement::InfoPlayButton, 141, 356,  66,  26, NoImage,        ImgDialogBD},
    {ScreenElement::LeftArrow,       30, 359,  29,  20, NoImage,        ImgLeftBD},
    {ScreenElement::RightArrow,     289, 358,  29,  20, NoImage,        ImgRightBD},
};

constexpr bool LayoutFollowsElements() {
    int row = 0;
    for (const Placement& place : Layout)
        if (static_cast<int>(place.element) != row++) return false;
    return row == static_cast<int>(ScreenElement::Count);
}
static_assert(LayoutFollowsElements(), "one layout row per element, in the element's order");

constexpr const Placement& Place(ScreenElement element) { return Layout[static_cast<int>(element)]; }

// Board cell k lies in column k mod 10 and row k div 10 of the play field.
constexpr int CellSize = 20;
constexpr int CellX(int cell) { return Place(ScreenElement::PlayField).x + CellSize * (cell % BoardColumns); }
constexpr int CellY(int cell) { return Place(ScreenElement::PlayField).y + CellSize * (cell / BoardColumns); }

// The high-score page writes entry i's name, score, level and lines at these
// x positions, on a row whose top is 257 + 15 i.
constexpr int HighScoreNameX = 50;
constexpr int HighScoreScoreX = 168;
constexpr int HighScoreLevelX = 238;
constexpr int HighScoreLinesX = 278;
constexpr int HighScoreRowTop = 257;
constexpr int HighScoreRowStep = 15;

// The place of a button face or pressed glyph: a pressed picture of any row,
// or the raised picture of a button whose two faces swap. Null for anything
// else (the console, a page, a cell, the box, a preview).
constexpr const Placement* FacePlace(ImageId image) {
    if (image == NoImage) return nullptr;
    for (const Placement& place : Layout)
        if (place.pressed != NoImage && (place.pressed == image || place.image == image)) return &place;
    return nullptr;
}
