// The grey face, rings and push buttons of the in-window dialogs, drawn on
// the game's surface in the colours of a Windows dialog. Draws only.
#include "frontends/sdl/dialog_look.h"

#include <cstring>

void Fill(const SDL_Rect& rect, Shade shade) {
    SDL_Surface* surface = GameSurface();
    SDL_FillRect(surface, &rect, SDL_MapRGB(surface->format, shade.r, shade.g, shade.b));
}

void Ring(const SDL_Rect& r, Shade upper, Shade lower) {
    Fill(SDL_Rect{r.x, r.y, r.w - 1, 1}, upper);
    Fill(SDL_Rect{r.x, r.y, 1, r.h - 1}, upper);
    Fill(SDL_Rect{r.x, r.y + r.h - 1, r.w, 1}, lower);
    Fill(SDL_Rect{r.x + r.w - 1, r.y, 1, r.h}, lower);
}

SDL_Rect Inset(const SDL_Rect& r, int by) { return SDL_Rect{r.x + by, r.y + by, r.w - 2 * by, r.h - 2 * by}; }

bool Inside(const SDL_Rect& r, int x, int y) { return x >= r.x && y >= r.y && x < r.x + r.w && y < r.y + r.h; }

void DottedRect(const SDL_Rect& r) {
    for (int x = r.x; x < r.x + r.w; x += 2) {
        Fill(SDL_Rect{x, r.y, 1, 1}, Black);
        Fill(SDL_Rect{x, r.y + r.h - 1, 1, 1}, Black);
    }
    for (int y = r.y; y < r.y + r.h; y += 2) {
        Fill(SDL_Rect{r.x, y, 1, 1}, Black);
        Fill(SDL_Rect{r.x + r.w - 1, y, 1, 1}, Black);
    }
}

int LineHeight() { return FrontEnd.font != nullptr ? TTF_FontHeight(FrontEnd.font) : 13; }

void DrawDialogFace(const SDL_Rect& frame) {
    Fill(frame, Face);
    Ring(frame, Light, Black);
    Ring(Inset(frame, 1), White, Shadow);
}

void DrawPushButton(const SDL_Rect& place, const char* label, bool defaultLook, bool pressed, bool focused) {
    SDL_Rect r = place;
    Fill(r, Face);
    if (defaultLook) {
        Ring(r, Black, Black);
        r = Inset(r, 1);
    }
    if (pressed) {
        Ring(r, Shadow, Shadow);
    } else {
        Ring(r, White, Black);
        Ring(Inset(r, 1), Light, Shadow);
    }
    const int length = static_cast<int>(std::strlen(label));
    const int shift = pressed ? 1 : 0;
    const int x = r.x + (r.w - TextWidth1252(label, length)) / 2 + shift;
    const int y = r.y + (r.h - LineHeight()) / 2 + shift;
    DrawText1252(x, y, label, length);
    if (focused) DottedRect(Inset(r, 3));
}
