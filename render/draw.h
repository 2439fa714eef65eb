// Drawing the screens: the console, the field, the side pages, the status
// boxes and the full redraw of the game screen. Immediate: every call copies straight into the window.
// Before the images are loaded every call draws nothing.
#pragma once

#include "render/image_catalogue.h"

void DrawConsole();
// All 180 cells, row by row, every call.
void DrawBoard();
void DrawLeftPage();
void DrawRightPage();
// Console, score, level, preview, board, best score.
void RedrawGameScreen();

// A number centred on the "TextBox" picture whose top edge is at `top`.
void DrawNumberBox(int value, int top);
void DrawLevelBox();
void DrawScoreBox();
void DrawBestScoreBox();
// "P0" while the game is over (or before the first piece), else the next kind.
void DrawNextPiece();

// Draws a button face or pressed glyph at its own place in the layout.
void DrawFace(ImageId image);
// The caption strip: the top 350 by 30 pixels of "Console".
void DrawCaptionStrip();
