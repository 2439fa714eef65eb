// The SDL front-end's own record and the helpers its files share: the window,
// the pictures, the font and the loop's flags. Only platform/sdl includes this;
// nothing here knows a game rule.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdint>

#include "platform/window_geometry.h"

using platform::CaptionHeight;
using platform::FrameSide;
using platform::WindowHeight;
using platform::WindowWidth;

constexpr int MaxImages = 64;

struct SdlFrontEnd {
    SDL_Window* window;              // the one window, made by OpenGameWindow
    SDL_Surface* images[MaxImages];  // the catalogue, in the window surface's pixel format
    TTF_Font* font;                  // the one text font, from the embedded TrueType file
    Uint32 tickEvent;                // event type of a fall-timer tick
    Uint32 postedEvent;              // event type of a posted window message
    Uint32 soundEvent;               // event type of "a sound has been played to its end"
    bool quitRequested;              // PostQuit has been called
    int exitCode;                    // what PostQuit asked main to return
    bool active;                     // has the keyboard focus, as last told to the game
    bool dialogOpen;                 // the name dialog runs its own loop
    bool dialogEnding;               // EndNameDialog has been called
    SDL_Rect dirty;                  // drawn since the surface was last shown (w 0: nothing)
};

extern SdlFrontEnd FrontEnd;

// Creates the window, delivers the creation message and shows the window.
// Returns 0 when SDL or the window could not be set up.
int OpenGameWindow();
// Opens the sound device and prepares the nine sounds; without a device the
// sounds stay silent and every call returns at once.
void OpenSound();
// Lets the sound device sleep when nothing is sounding.
void RestSound();
// Closes the sound device and frees the prepared sounds.
void CloseSound();
// Runs the message loop until the quit request; returns the exit code.
int RunMessageLoop();
// Releases what OpenGameWindow and OpenSound made.
void CloseGameWindow();

// Hands one message to the game's window procedure, then shows what it drew.
void Deliver(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
// Shows what has been drawn on the window surface since the last time.
void ShowSurface();
// Marks a rectangle of the window surface as drawn.
void MarkDrawn(const SDL_Rect& rect);
// Delivers the events that reach the game whatever has the input (timer,
// posted messages, focus, minimise, exposure, close). False for others.
bool DeliverWindowEvent(const SDL_Event& event);

// Draws the open name dialog over whatever the game has drawn.
void DrawNameDialog();

// Writes `length` bytes of Windows-1252 text at x,y in black; the surface's
// clip rectangle applies. Returns the width written.
int DrawText1252(int x, int y, const char* text, int length);
// Width in pixels of `length` bytes of Windows-1252 text.
int TextWidth1252(const char* text, int length);
// The font's dialog base units: average character width and line height.
void DialogBaseUnits(int* baseX, int* baseY);
// The text font from the embedded TrueType file, or null.
TTF_Font* OpenTextFont();
// The window icon from the embedded PNG, or null.
SDL_Surface* LoadIconSurface();
