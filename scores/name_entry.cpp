// The name dialog's two buttons: take the typed name, record and save the
// result, then play again or end. Knows no dialog: the front-end shows it and
// hands over the pressed button and the edit box's text.
#include "scores/name_entry.h"

#include "engine/engine.h"
#include "platform/platform.h"
#include "scores/high_score_file.h"
#include "scores/high_score_table.h"
#include "shell/messages.h"

namespace {

// The file separates a record's fields with ';', so a typed ';' is kept as
// ',' lest the name split its record on the next load. Spaces are kept.
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
    platform::EndNameDialog();
    InsertHighScore();
    // A failed save has shown its own message; the result is kept in the
    // table for the page either way.
    SaveHighScoreTable();
    if (controlId == NameDialogPlayAgain) {
        NewGame();
    } else {
        platform::PostWindowMessage(msg::Destroy, 0);
    }
    return 1;
}
