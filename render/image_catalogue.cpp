// The 32 pictures: their names and sizes, loading and release through the
// seam, and the picture of each cell value. Knows no place on the screen.
#include "render/image_catalogue.h"

#include "seam/platform.h"
#include "render/layout.h"

constexpr CatalogueImage Catalogue[ImageCount] = {
    {"Console", 350, 420},
    {"MinB", 13, 13},
    {"CloseB", 13, 13},
    {"Dialog", 311, 361},
    {"BlueBlk", 20, 20},
    {"YellowBlk", 20, 20},
    {"GreenBlk", 20, 20},
    {"PurpleBlk", 20, 20},
    {"RedBlk", 20, 20},
    {"BlankBlk", 20, 20},
    {"LeftDialog", 311, 361},
    {"RightDialog", 311, 361},
    {"LeftBD", 29, 20},
    {"RightBD", 29, 20},
    {"DialogBD", 66, 26},
    {"GoBU", 66, 26},
    {"GoBD", 66, 26},
    {"PauseBU", 66, 26},
    {"PauseBD", 66, 26},
    {"AboutBU", 66, 26},
    {"AboutBD", 66, 26},
    {"QuitBU", 66, 26},
    {"QuitBD", 66, 26},
    {"TextBox", 69, 22},
    {"P0", 74, 56},
    {"P1", 74, 56},
    {"P2", 74, 56},
    {"P3", 74, 56},
    {"P4", 74, 56},
    {"P5", 74, 56},
    {"P6", 74, 56},
    {"P7", 74, 56},
};

namespace {

// The order pictures are released in at exit: the pages and their pressed
// controls, the frame glyphs, the buttons, the box, the blocks, the previews.
constexpr ImageId ReleaseOrder[ImageCount] = {
    ImgConsole, ImgDialog, ImgLeftDialog, ImgRightDialog, ImgDialogBD, ImgLeftBD, ImgRightBD,
    ImgMinB, ImgCloseB, ImgGoBU, ImgGoBD, ImgPauseBU, ImgPauseBD, ImgAboutBU, ImgAboutBD,
    ImgQuitBU, ImgQuitBD, ImgTextBox, ImgBlueBlk, ImgYellowBlk, ImgGreenBlk, ImgPurpleBlk,
    ImgRedBlk, ImgBlankBlk, ImgP0, ImgP1, ImgP2, ImgP3, ImgP4, ImgP5, ImgP6, ImgP7,
};

// Indexed by the BlockImage value.
constexpr ImageId CellPictures[] = {ImgBlankBlk, ImgBlueBlk, ImgYellowBlk, ImgGreenBlk, ImgPurpleBlk, ImgRedBlk};

constexpr bool ReleasesEachOnce() {
    int seen[ImageCount] = {};
    for (ImageId image : ReleaseOrder) ++seen[image];
    for (int count : seen)
        if (count != 1) return false;
    return true;
}
static_assert(ReleasesEachOnce(), "every picture is released exactly once");

// A copy of a whole picture must cover exactly its place, so a face drawn at
// its place never shows a strip of what lay under it.
constexpr bool LayoutMatchesPictures() {
    for (const Placement& place : Layout) {
        const ImageId pictures[] = {place.image, place.pressed};
        for (ImageId image : pictures) {
            if (image == NoImage || place.element == ScreenElement::CaptionStrip ||
                place.element == ScreenElement::PlayField)
                continue;
            if (Catalogue[image].width != place.width || Catalogue[image].height != place.height) return false;
        }
    }
    return Catalogue[ImgBlankBlk].width == CellSize && Catalogue[ImgBlankBlk].height == CellSize;
}
static_assert(LayoutMatchesPictures(), "each layout rectangle has its picture's size");

bool Loaded = false;

}  // namespace

bool ImagesLoaded() { return Loaded; }

int LoadImages() {
    for (int image = 0; image < ImageCount; ++image) platform::LoadCatalogueImage(image, Catalogue[image].name);
    Loaded = true;
    return 1;
}

// Releases only what LoadImages loaded: before it, or a second time, nothing
// is released, so no picture is ever freed twice.
int FreeImages() {
    if (!Loaded) return 1;
    Loaded = false;
    platform::ReleaseSurfaces();
    for (ImageId image : ReleaseOrder) platform::FreeCatalogueImage(image);
    return 1;
}

// A value outside the six never reaches a cell; should one, it shows empty.
ImageId ImageOf(BlockImage image) {
    const auto value = static_cast<std::int32_t>(image);
    constexpr auto count = static_cast<std::int32_t>(sizeof CellPictures / sizeof CellPictures[0]);
    return value >= 0 && value < count ? CellPictures[value] : ImgBlankBlk;
}
