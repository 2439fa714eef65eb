// The message box's kinds of buttons, shared by the system box (SDL's) and
// the box drawn in the game's own window; and that in-window box.
#pragma once

#include "frontends/sdl/front_end.h"

struct BoxChoice {
    int answer;         // the answer, in the seam's terms (platform::AnswerOk, ...)
    const char* label;  // "OK", "Yes", ...
    bool onReturn;      // Return presses it (and it has the default look)
    bool onEscape;      // Escape presses it
};

struct BoxKind {
    int buttons;           // the seam's button set (platform::Ok, YesNo, RetryCancel)
    BoxChoice choices[2];  // left to right
    int count;
    int closed;  // the answer when the box is closed without a button, or the program is asked to end
};

// Runs the box inside the game window: caption, the text wrapped to its
// width, the buttons of `kind`, the keyboard and mouse of a system box.
// Paint, timer, posted and quit messages still reach the game meanwhile; a
// quit closes the box with kind.closed. Returns the answer, or
// platform::Failed when there is no window to draw it in. Text in
// Windows-1252.
int RunWindowBox(const char* text, const char* caption, const BoxKind& kind);
// Draws the open in-window box over whatever the game has drawn.
void DrawWindowBox();
