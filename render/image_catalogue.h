// The 32 pictures the program shows, in load order, and the block picture of
// each cell value. Loading and release go through the platform seam.
#pragma once

#include "engine/game_state.h"

enum ImageId : int {
    ImgConsole, ImgMinB, ImgCloseB, ImgDialog,
    ImgBlueBlk, ImgYellowBlk, ImgGreenBlk, ImgPurpleBlk, ImgRedBlk, ImgBlankBlk,
    ImgLeftDialog, ImgRightDialog, ImgLeftBD, ImgRightBD, ImgDialogBD,
    ImgGoBU, ImgGoBD, ImgPauseBU, ImgPauseBD, ImgAboutBU, ImgAboutBD, ImgQuitBU, ImgQuitBD,
    ImgTextBox, ImgP0, ImgP1, ImgP2, ImgP3, ImgP4, ImgP5, ImgP6, ImgP7,
    ImageCount
};

struct CatalogueImage {
    const char* name;  // resource name, as the program asks for it
    int width;
    int height;
};

// Name and size of every image, indexed by ImageId.
extern const CatalogueImage Catalogue[ImageCount];

// True between LoadImages and FreeImages; drawing before that draws nothing.
bool ImagesLoaded();

// Loads the 32 images in catalogue order. Leaves the game alone: the start-up
// blanks the board itself.
int LoadImages();
// Releases the window surface, the memory surface, then each image once.
int FreeImages();

// The picture of a cell value.
ImageId ImageOf(BlockImage image);
