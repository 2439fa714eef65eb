// What a front-end calls in the game: the start-up that follows window
// creation, the window procedure that every front-end feeds in order, and the
// name dialog's buttons. Nothing else of the game is a front-end's to call.
#pragma once

#include <cstdint>

#include "seam/name_dialog_template.h"

// Called once the window and both drawing surfaces exist and the window has
// been shown: loads the pictures, the pieces and the table and draws the first
// screen. Returns 1 to run the message loop; 0 when the program must end now
// (the table could not be loaded): with exit code 0 when the message was
// shown, or, when no box could show it, with UnshownMessageExitCode, asked
// for through PostQuit.
int StartUp();

// The exit code of a start whose message could not be shown to the player.
constexpr int UnshownMessageExitCode = 3;

// Handles one window message (numbers and packing in seam/messages.h). A
// Win32 front-end passes the message on to DefWindowProcA afterwards; the SDL
// front-end performs that default handling itself.
void MainWindowProc(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

// The name dialog's controls, by the ids of its template.
constexpr int NameDialogPlayAgain = SCOREDB_PLAY_AGAIN_ID;
constexpr int NameDialogQuitGame = SCOREDB_QUIT_GAME_ID;
constexpr int NameDialogEdit = SCOREDB_EDIT_ID;

// For the two buttons: takes at most 13 characters of `editText` (the whole
// text as typed) as the name ("Unknown" when empty), records the button that
// ended the dialog, ends the dialog, inserts and saves the result; returns 1.
// Any other id (Escape's cancel among them) does nothing and returns 0.
int NameEntryDialogProc(int controlId, const char* editText);

// Whether the score file, read through the seam exactly as the start-up reads
// it, holds a table the start-up would keep (1) or call damaged (0). The
// table in play stays as it was. A front-end that checks a table offered from
// outside has its reading steps read those bytes and its writing steps fail,
// so that nothing is written.
int CheckHighScoreFile();
