// The end of a lost game: the sound, the faces, the stopped timer, the name
// or the offer of another game, and the high-score page; and the start of the
// next game, which Go, a Yes and the name dialog's "Play again" share.
#pragma once

// Runs when Tick reports that the new piece did not fit. Leaves the game idle
// (gameOver set, running clear, no timer) on the centre info page; a "Quit
// game" or a No leaves the end request queued.
void EndGame();

// NewGame with the table's best score in the best-score box.
void StartNewGame();
