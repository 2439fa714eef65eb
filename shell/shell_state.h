// shell/ holds the window procedure, the buttons and screens, game over and
// pause, and the sound cues: the game as a window sees it.
// The shell's process-wide records: what the window shows and which painted
// control is held down. Written only by the button handlers and EndGame.
#pragma once

enum class ScreenMode : int { Game = 0, InfoCentre = 1, InfoLeft = 2, InfoRight = 3 };

// The control held between a press and its release. Minimise and Close also
// stand for the back arrows of the left and right pages.
enum class ButtonId : int {
    None = 0, Go, Pause, About, Quit, InfoPlay, InfoLeft, InfoRight, Minimise, Close
};

extern ScreenMode CurrentScreen;  // starts as Game
extern ButtonId HeldButton;       // starts as None
// Whether the held Minimise or Close came from a caption glyph rather than a
// page's back arrow: only then may a caption release act on it, so a back
// arrow whose release was lost outside the window never ends the program.
// Set by every press that hits.
extern bool HeldFromFrame;
