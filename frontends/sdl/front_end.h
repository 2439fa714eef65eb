// frontends/sdl holds the Linux program: the seam on SDL2, on X11 and Wayland.
// The SDL front-end's own record and the helpers its files share: the window,
// the pictures, the font and the loop's flags. Only frontends/sdl includes this;
// nothing here knows a game rule.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdint>

#include "frontends/common/image_slots.h"
#include "seam/window_geometry.h"

using platform::CaptionHeight;
using platform::FrameSide;
using platform::WindowHeight;
using platform::WindowWidth;

struct SdlFrontEnd {
    SDL_Window* window;              // the one window, made by OpenGameWindow
    SDL_Surface* images[MaxImages];  // the catalogue, in the window surface's pixel format
    TTF_Font* font;                  // the one text font, from the embedded TrueType file
    Uint32 tickEvent;                // event type of a fall-timer tick
    Uint32 postedEvent;              // event type of a posted window message
    Uint32 soundEvent;               // event type of "a sound has been played to its end"
    Uint32 captionEvent;             // event type of a caption press or release SDL kept for a move (Wayland)
    bool movedByCompositor;          // the caption drag is the compositor's (Wayland): see LetTheCompositorMove
    bool quitRequested;              // PostQuit has been called
    int exitCode;                    // what PostQuit asked main to return
    bool active;                     // has the keyboard focus, as last told to the game
    bool dialogOpen;                 // the name dialog runs its own loop
    bool dialogEnding;               // EndNameDialog has been called
    SDL_Rect dirty;                  // drawn since the surface was last shown, in game pixels (w 0: nothing)
    int scale;                       // every game pixel shows as scale by scale device pixels
    int pointRatio;                  // device pixels per window point: the compositor's scale, 1 on X11
    SDL_Surface* canvas;             // the 350 by 420 picture the game draws on, at a scale above 1 or
                                     // when presenting through the renderer
    SDL_Renderer* renderer;          // where the driver has no window surface (Wayland); else null
    SDL_Texture* texture;            // the renderer's copy of the canvas, streamed
    bool boxOpen;                    // the in-window message box runs its own loop
};

extern SdlFrontEnd FrontEnd;

// Creates the window, delivers the creation message and shows the window.
// Returns 0 when SDL or the window could not be set up, SDL's error telling
// why; a display that answers no connection after a few tries counts too.
int OpenGameWindow();
// Opens the sound device and prepares the nine sounds; without a device the
// sounds stay silent and every call returns at once.
void OpenSound();
// Lets the sound device sleep when nothing is sounding.
void RestSound();
// Closes the sound device and frees the prepared sounds.
void CloseSound();
// Where the compositor alone can move a window (Wayland): a press on the
// caption asks it to, and still reaches the game as on X11.
void LetTheCompositorMove();
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

// Hands a fall-timer tick to the game, unless the timer was re-armed or
// stopped since it was queued.
void DeliverTick(const SDL_Event& tick);
// Stops the fall timer, whatever the game calls it.
void StopFallTimer();

// Where the pointer is on the screen. SDL's own answer can be stale on X11
// while the window moves under the pointer, so X is asked itself there.
void PointerOnScreen(int* x, int* y);
// Whether a window manager runs on the game window's screen; true when the
// window is not on X (the system places an owned box itself).
bool WindowManagerRuns();
// Asks the X box transient for one of `owners` to close, as its close button
// would; false when there is none (yet) or no X connection.
bool AskOwnedBoxToClose(SDL_Window* const* owners, int ownerCount);

// Makes SIGTERM and SIGINT end the program as Quit does (SDL's own handlers
// are kept out by a hint); false when the watch could not be set up.
bool WatchQuitSignals();
// Gives the two signals back to the system and ends the watch.
void StopWatchingQuitSignals();
// A signal has asked the program to end.
bool QuitSignalled();
// Ends a waiting sound's wait at once (from the quit watch).
void WakeWaitingSound();
// Closes an open system message box with its "closed" answer (from the quit
// watch); nothing when none is open.
void CloseSystemBox();
// Releases what the message boxes kept (the system box's stand-in owner).
void CloseMessageBoxes();

// The whole-number scale for the window just made, from the desktop's Xft.dpi
// and the size of its screen's work area; 1 when the desktop sets none.
int ChooseWindowScale();
// The compositor's whole-number scale for the window just made: its size in
// device pixels over its size in points (1 on X11, which has no such ratio).
int ChooseDesktopScale();
// At a scale above 1, makes the canvas in the window surface's format.
bool OpenCanvas();
void CloseCanvas();
// Where the driver gives no software window surface: a renderer with a
// streaming texture, scaled nearest-neighbour, and the canvas it is fed
// from. False, SDL's error telling why, when none can be made.
bool OpenPresenter();
void ClosePresenter();
// Shows the canvas's rectangle `game` (in game pixels) through the renderer.
void PresentCanvas(const SDL_Rect& game);
// What the game draws on: the window's own surface at scale 1, the canvas above.
SDL_Surface* GameSurface();
// A window point's coordinate as a game pixel's, rounded down.
int GamePixel(int windowPixel);
// Copies a rectangle of the canvas onto the window surface, each pixel k by k,
// and returns the window's rectangle to show; at scale 1 returns it as it is.
SDL_Rect ScaleOntoWindow(const SDL_Rect& game);

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
// The window icon from the embedded 32-bit BMP, or null.
SDL_Surface* LoadIconSurface();
