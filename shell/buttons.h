// The painted controls: the four buttons of the game screen, the controls of
// the info pages and the two caption glyphs, and the moves between screens.
// A press that hits draws the pressed face, holds the control and clicks; the
// release acts on the held control wherever the pointer is.
#pragma once

#include <cstdint>

// Press is 1; every other value is a release, and the shell passes Release.
enum class ButtonPhase : int { Press = 1, Release = 2 };

// Game-screen buttons, at window point x,y (ignored on release).
void PanelButtonEvent(int x, int y, ButtonPhase phase);
// Info-page controls of the current page, at window point x,y (ignored on
// release).
void InfoButtonEvent(int x, int y, ButtonPhase phase);
// Caption glyphs. `screenPoint` is a non-client message's lParam: the screen
// point as two signed 16-bit halves; the press makes it a window point.
void FrameButtonEvent(std::intptr_t screenPoint, ButtonPhase phase);

// The full redraw of the current screen mode: the game screen, or the console
// with the info page over it. Draws nothing before the images are loaded.
void RedrawScreen();
