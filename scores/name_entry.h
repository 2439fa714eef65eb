// What the name dialog's buttons do, without the dialog itself: the front-end
// shows the dialog and calls this with a control id and the edit box's text.
// Takes and stores the name only: what follows is the game-over flow's.
#pragma once

constexpr int NameDialogPlayAgain = 901;
constexpr int NameDialogQuitGame = 902;
constexpr int NameDialogEdit = 903;

// The button that ended the last name dialog, NameDialogPlayAgain or
// NameDialogQuitGame; 0 while none has. Cleared by the game-over flow before
// it runs the dialog, set by NameEntryDialogProc, read once the dialog returns.
extern int NameDialogButton;

// For the two buttons: takes at most 13 characters of `editText` (the whole
// text as typed) as the name ("Unknown" when empty), records the button in
// NameDialogButton, ends the dialog, inserts and saves the result; returns 1.
// Any other id (Escape's cancel among them) does nothing and returns 0.
int NameEntryDialogProc(int controlId, const char* editText);
