// The name dialog "ScoreDB" as one template for every front-end: its place,
// its five controls with their ids, texts and places, in dialog units from the
// client area's corner and in tab order. Plain #defines, so that the Windows
// resource script builds its DIALOG from the same lines the SDL program draws.
#pragma once

// Place and size of the whole dialog.
#define SCOREDB_PLACE 33, 60, 160, 80

// The controls, in template order (which is the tab order).
#define SCOREDB_PLAY_AGAIN_ID 901
#define SCOREDB_PLAY_AGAIN_TEXT "Play again"
#define SCOREDB_PLAY_AGAIN_PLACE 20, 57, 50, 14

#define SCOREDB_QUIT_GAME_ID 902
#define SCOREDB_QUIT_GAME_TEXT "Quit game"
#define SCOREDB_QUIT_GAME_PLACE 90, 57, 50, 14

#define SCOREDB_HEADING_TEXT "You made it to the HighScore list!"
#define SCOREDB_HEADING_PLACE 27, 8, 106, 8

#define SCOREDB_PROMPT_TEXT "Give me your name"
#define SCOREDB_PROMPT_PLACE 49, 20, 62, 8

#define SCOREDB_EDIT_ID 903
#define SCOREDB_EDIT_PLACE 40, 34, 80, 14
