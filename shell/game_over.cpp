// The game-over flow: stop the game, take the name or offer another game,
// show the table. Decides nothing about the rules; the table's rules and the
// file stay in scores/.
#include "shell/game_over.h"

#include "engine/engine.h"
#include "engine/game_state.h"
#include "platform/platform.h"
#include "render/draw.h"
#include "scores/high_score_page.h"
#include "scores/high_score_table.h"
#include "shell/messages.h"
#include "shell/shell_state.h"
#include "shell/sound_cues.h"

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
        // The dialog's buttons insert, save and then start a game or ask to
        // end (NameEntryDialogProc); its result says nothing more.
        platform::RunNameDialog();
    } else if (platform::ShowMessageBox("Play again?", "Game Over", platform::YesNo) == platform::AnswerNo) {
        platform::PostWindowMessage(msg::Destroy, 0);
    } else {
        // Yes, and a box that could not be shown: the board is reset now and
        // the next Go resets it again, as gameOver is still set.
        NewGame();
    }

    Game.running = false;
    CurrentScreen = ScreenMode::InfoCentre;
    DrawHighScorePage();
}
