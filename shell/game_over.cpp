// The game-over flow: stop the game, take the name or offer another game,
// show the table, and start the next game. Decides nothing about the rules;
// the table's rules, the name entry and the file stay in scores/.
#include "shell/game_over.h"

#include "engine/effects.h"
#include "engine/engine.h"
#include "engine/game_state.h"
#include "seam/platform.h"
#include "render/draw.h"
#include "render/high_score_page.h"
#include "scores/high_score_table.h"
#include "scores/name_entry.h"
#include "seam/messages.h"
#include "shell/shell_state.h"

void StartNewGame() {
    Game.bestScoreShown = HighScores.entries[0].score;
    NewGame();
}

void EndGame() {
    // The last position stays on screen while the sound lasts.
    PlaySoundCue(SoundCue::Gameo);
    DrawFace(ImgPauseBD);
    DrawFace(ImgGoBU);
    Game.running = false;
    Game.gameOver = true;
    platform::StopTimer(Game.fallTimerId);

    if (QualifiesForHighScore()) {
        PlaySoundCue(SoundCue::Wow);
        // The dialog's buttons take the name, insert and save the result
        // (NameEntryDialogProc); the button that ended it says what follows.
        // A dialog that could not open, or ended otherwise, leaves the game idle.
        NameDialogButton = 0;
        platform::RunNameDialog();
        if (NameDialogButton == NameDialogPlayAgain) {
            StartNewGame();
        } else if (NameDialogButton == NameDialogQuitGame) {
            platform::PostWindowMessage(msg::Destroy, 0);
        }
    } else if (platform::ShowMessageBox("Play again?", "Game Over", platform::YesNo) == platform::AnswerNo) {
        platform::PostWindowMessage(msg::Destroy, 0);
    } else {
        // Yes, and a box that could not be shown: the board is reset now and
        // the next Go resets it again, as gameOver is still set.
        StartNewGame();
    }

    Game.running = false;
    CurrentScreen = ScreenMode::InfoCentre;
    DrawHighScorePage();
}
