// The centre info page: the "Dialog" picture with the table written over it.
#pragma once

// Draws the page at 19,39 and the five entries' texts. Draws nothing before
// the images are loaded.
void DrawHighScorePage();
