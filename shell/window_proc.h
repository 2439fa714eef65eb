// Where the outside world reaches the game: the start-up that follows window
// creation, and the window procedure that every front-end feeds in order.
#pragma once

#include <cstdint>

// Called once the window and both drawing surfaces exist and the window has
// been shown: loads the pictures, the pieces and the table and draws the first
// screen. Returns 1 to run the message loop; 0 when the program must end now
// (the table could not be loaded): with exit code 0 when the message was
// shown, or, when no box could show it, with UnshownMessageExitCode, asked
// for through PostQuit.
int StartUp();

// The exit code of a start whose message could not be shown to the player.
constexpr int UnshownMessageExitCode = 3;

// Handles one window message (numbers and packing in shell/messages.h). A
// Win32 front-end passes the message on to DefWindowProcA afterwards; the SDL
// front-end performs that default handling itself.
void MainWindowProc(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
