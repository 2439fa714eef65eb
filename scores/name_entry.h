// What the name dialog's buttons do, without the dialog itself: the front-end
// shows the dialog and calls this with a control id and the edit box's text.
#pragma once

constexpr int NameDialogPlayAgain = 901;
constexpr int NameDialogQuitGame = 902;
constexpr int NameDialogEdit = 903;

// For the two buttons: takes at most 13 characters of `editText` as the name
// ("Unknown" when empty), ends the dialog, inserts and saves the result, then
// starts a new game or asks the program to end; returns 1. Any other id
// (Escape's cancel among them) does nothing and returns 0.
int NameEntryDialogProc(int controlId, const char* editText);
