// The look the in-window dialogs share (the name dialog and the message box):
// the grey face, the raised and sunken rings of a Windows dialog, the push
// button, all drawn on the game's surface. Draws only; knows no dialog.
#pragma once

#include "frontends/sdl/front_end.h"

struct Shade {
    Uint8 r, g, b;
};
constexpr Shade Face = {192, 192, 192}, Light = {223, 223, 223}, White = {255, 255, 255},
                Shadow = {128, 128, 128}, Black = {0, 0, 0};

void Fill(const SDL_Rect& rect, Shade shade);
// One ring of an edge: top and left in `upper`, bottom and right in `lower`.
void Ring(const SDL_Rect& r, Shade upper, Shade lower);
SDL_Rect Inset(const SDL_Rect& r, int by);
bool Inside(const SDL_Rect& r, int x, int y);
void DottedRect(const SDL_Rect& r);
// The text font's line height, 13 without a font.
int LineHeight();
// The raised face of a modal dialog, its outer rectangle `frame`.
void DrawDialogFace(const SDL_Rect& frame);
// A push button with its label centred; the default one has a black ring,
// the pressed one is sunken, the focused one has a dotted ring inside.
void DrawPushButton(const SDL_Rect& place, const char* label, bool defaultLook, bool pressed, bool focused);
