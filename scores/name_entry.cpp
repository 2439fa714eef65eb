// The name dialog's two buttons: take the typed name, record and save the
// result, and note which button ended the dialog. Knows no dialog: the
// front-end shows it and hands over the pressed button and the edit box's
// text; playing again or ending is the game-over flow's (shell/game_over).
#include "scores/name_entry.h"

#include "seam/platform.h"
#include "scores/high_score_file.h"
#include "scores/high_score_table.h"

int NameDialogButton = 0;

namespace {

// The file separates a record's fields with ';', so a typed ';' is kept as
// ',' lest the name split its record on the next load. Spaces are kept. The
// platform hands over all that was typed; the name is cut here.
void TakeEnteredName(const char* editText) {
    int length = 0;
    if (editText != nullptr) {
        for (; length < EnteredNameSize - 1 && editText[length] != '\0'; ++length) {
            EnteredName[length] = editText[length] == ';' ? ',' : editText[length];
        }
    }
    if (length == 0) {
        constexpr char Unknown[] = "Unknown";
        for (; Unknown[length] != '\0'; ++length) EnteredName[length] = Unknown[length];
    }
    EnteredName[length] = '\0';
}

}  // namespace

int NameEntryDialogProc(int controlId, const char* editText) {
    // Escape's cancel and every other control leave the dialog open.
    if (controlId != NameDialogPlayAgain && controlId != NameDialogQuitGame) return 0;
    TakeEnteredName(editText);
    NameDialogButton = controlId;
    platform::EndNameDialog();
    InsertHighScore();
    // The save merges the result into the table on disk, which the page then
    // shows. A failed save has shown its own message; the result is kept in
    // the table for the page either way.
    SaveNewHighScore();
    return 1;
}
