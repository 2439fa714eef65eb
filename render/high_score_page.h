// The centre info page: the "Dialog" picture with the table written over it.
// Drawing only: reads the table (scores/), never changes it or a file.
#pragma once

// Draws the page at 19,39 and the five entries' texts. Draws nothing before
// the images are loaded.
void DrawHighScorePage();
