// render/ holds the pictures, their places, and the drawing of every screen.
// Drawing the screens: the console, the field, the side pages, the status
// boxes and the full redraw of the game screen. Immediate: every call copies
// straight into the window.
// Before the images are loaded every call draws nothing.
#pragma once

#include "engine/effects.h"
#include "render/image_catalogue.h"

void DrawConsole();
void DrawLeftPage();
void DrawRightPage();
// Console, score, level, preview, board, best score.
void RedrawGameScreen();

// A number centred on the "TextBox" picture whose top edge is at `top`.
void DrawNumberBox(int value, int top);
// The field, the level, score and best score boxes and the preview, which
// the engine draws itself, are declared in engine/effects.h.

// Draws a button face or pressed glyph at its own place in the layout.
void DrawFace(ImageId image);
// The caption strip: the top 350 by 30 pixels of "Console".
void DrawCaptionStrip();
