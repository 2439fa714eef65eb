// What the name dialog's buttons do, without the dialog itself: the front-end
// shows the dialog and calls NameEntryDialogProc (declared in seam/game_entry.h)
// with a control id and the edit box's text. Takes and stores the name only:
// what follows is the game-over flow's.
#pragma once

#include "seam/game_entry.h"

// The button that ended the last name dialog, NameDialogPlayAgain or
// NameDialogQuitGame; 0 while none has. Cleared by the game-over flow before
// it runs the dialog, set by NameEntryDialogProc, read once the dialog returns.
extern int NameDialogButton;
