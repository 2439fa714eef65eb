// The SDL side of drawing: the catalogue pictures, copies straight onto the
// window surface (at a scale above 1, onto the canvas), text in the embedded
// font, and the window icon. Draws only what the game asks for; never decides
// what the screen shows.
#include <cstring>

#include "seam/platform.h"
#include "frontends/sdl/codepage.h"
#include "frontends/sdl/front_end.h"
#include "resources/embedded.h"

namespace {

// Room for the longest text the game writes: a 255-character name becomes at
// most three UTF-8 bytes a character.
constexpr std::size_t TextRoom = 4 * 1024;
char Utf8Text[TextRoom];

// A line about 13 pixels high, like the small proportional font of the
// number boxes and the high-score page were drawn for.
constexpr int TextPixelSize = 11;

// Pictures up to this many pixels are kept in the window's own format.
constexpr int SmallPicture = 100 * 100;

// True when the canvas at x,y already holds the picture's w by h pixels
// (clipped to both) byte for byte, so that a copy would change nothing. Only
// pictures in the canvas's own format that copy as plain block moves are
// compared; any other picture counts as a change.
bool AlreadyShows(const SDL_Surface* picture, int x, int y, int w, int h) {
    const SDL_Surface* canvas = FrontEnd.canvas;
    if (picture->format->format != canvas->format->format || SDL_HasColorKey(const_cast<SDL_Surface*>(picture))) {
        return false;
    }
    SDL_BlendMode blend = SDL_BLENDMODE_NONE;
    SDL_GetSurfaceBlendMode(const_cast<SDL_Surface*>(picture), &blend);
    if (blend != SDL_BLENDMODE_NONE || x < 0 || y < 0) return false;
    if (w > picture->w) w = picture->w;
    if (h > picture->h) h = picture->h;
    if (x + w > canvas->w) w = canvas->w - x;
    if (y + h > canvas->h) h = canvas->h - y;
    if (w <= 0 || h <= 0) return true;
    const int bytes = canvas->format->BytesPerPixel;
    for (int row = 0; row < h; ++row) {
        const Uint8* shown = static_cast<const Uint8*>(canvas->pixels) + (y + row) * canvas->pitch + x * bytes;
        const Uint8* wanted = static_cast<const Uint8*>(picture->pixels) + row * picture->pitch;
        if (std::memcmp(shown, wanted, static_cast<std::size_t>(w) * bytes) != 0) return false;
    }
    return true;
}

}  // namespace

void MarkDrawn(const SDL_Rect& rect) {
    if (FrontEnd.dirty.w == 0) {
        FrontEnd.dirty = rect;
        return;
    }
    SDL_UnionRect(&FrontEnd.dirty, &rect, &FrontEnd.dirty);
}

void ShowSurface() {
    if (FrontEnd.window == nullptr || FrontEnd.dirty.w == 0) return;
    SDL_Rect shown = FrontEnd.dirty;
    const SDL_Rect whole = {0, 0, WindowWidth, WindowHeight};
    FrontEnd.dirty = SDL_Rect{0, 0, 0, 0};
    if (!SDL_IntersectRect(&shown, &whole, &shown)) return;
    if (FrontEnd.renderer != nullptr) {
        PresentCanvas(shown);
        return;
    }
    shown = ScaleOntoWindow(shown);
    SDL_UpdateWindowSurfaceRects(FrontEnd.window, &shown, 1);
}

int TextWidth1252(const char* text, int length) {
    if (FrontEnd.font == nullptr || length <= 0) return 0;
    Utf8From1252(text, static_cast<std::size_t>(length), Utf8Text, TextRoom);
    int w = 0, h = 0;
    TTF_SizeUTF8(FrontEnd.font, Utf8Text, &w, &h);
    return w;
}

int DrawText1252(int x, int y, const char* text, int length) {
    if (FrontEnd.font == nullptr || length <= 0) return 0;
    Utf8From1252(text, static_cast<std::size_t>(length), Utf8Text, TextRoom);
    const SDL_Color black = {0, 0, 0, 255};
    SDL_Surface* written = TTF_RenderUTF8_Blended(FrontEnd.font, Utf8Text, black);
    if (written == nullptr) return 0;
    SDL_Rect place = {x, y, written->w, written->h};
    SDL_BlitSurface(written, nullptr, GameSurface(), &place);
    MarkDrawn(SDL_Rect{x, y, written->w, written->h});
    const int width = written->w;
    SDL_FreeSurface(written);
    return width;
}

void DialogBaseUnits(int* baseX, int* baseY) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    const int width = TextWidth1252(alphabet, 52);
    *baseX = (width / 26 + 1) / 2;
    *baseY = FrontEnd.font != nullptr ? TTF_FontHeight(FrontEnd.font) : 13;
}

TTF_Font* OpenTextFont() {
    const EmbeddedResource* font = FindEmbeddedResource("font.ttf");
    if (font == nullptr) return nullptr;
    return TTF_OpenFontRW(SDL_RWFromConstMem(font->data, static_cast<int>(font->size)), 1, TextPixelSize);
}

SDL_Surface* LoadIconSurface() {
    const EmbeddedResource* icon = FindEmbeddedResource("icon.bmp");
    if (icon == nullptr) return nullptr;
    return SDL_LoadBMP_RW(SDL_RWFromConstMem(icon->data, static_cast<int>(icon->size)), 1);
}

namespace platform {

void LoadCatalogueImage(ImageId id, const char* name) {
    if (!IsImageSlot(id)) return;
    const EmbeddedResource* bitmap = FindEmbeddedResource(name);
    if (bitmap == nullptr) return;
    SDL_Surface* loaded = SDL_LoadBMP_RW(SDL_RWFromConstMem(bitmap->data, static_cast<int>(bitmap->size)), 1);
    if (loaded == nullptr) return;
    // The small pictures (cells, faces, previews), copied over and over while
    // a game runs, take the window's format so that a copy is a plain block
    // move. The big pages stay as stored, mostly 8 bits a pixel: a quarter of
    // the memory, and they are copied only when the screen changes.
    if (loaded->w * loaded->h <= SmallPicture) {
        SDL_Surface* converted = SDL_ConvertSurface(loaded, GameSurface()->format, 0);
        if (converted != nullptr) {
            SDL_FreeSurface(loaded);
            loaded = converted;
        }
    }
    SDL_FreeSurface(FrontEnd.images[id]);
    FrontEnd.images[id] = loaded;
}

void FreeCatalogueImage(ImageId id) {
    if (!IsImageSlot(id)) return;
    SDL_FreeSurface(FrontEnd.images[id]);
    FrontEnd.images[id] = nullptr;
}

// The window surface belongs to the window and lives as long as it does; the
// copies go straight to it, so there is no separate memory surface to delete.
void ReleaseSurfaces() {}

// The font is opened with the window; every text is written in it.
void SelectTextFont() {}

void CopyImage(ImageId id, int x, int y, int w, int h) {
    if (!IsImageSlot(id) || FrontEnd.images[id] == nullptr) return;
    // The field is drawn whole after every move; on the canvas, a cell that
    // already shows its picture is left out of what the window is shown anew,
    // which at scale k costs k squared times the pixels.
    if (FrontEnd.canvas != nullptr && AlreadyShows(FrontEnd.images[id], x, y, w, h)) return;
    SDL_Rect from = {0, 0, w, h};
    SDL_Rect to = {x, y, w, h};
    SDL_BlitSurface(FrontEnd.images[id], &from, GameSurface(), &to);
    MarkDrawn(SDL_Rect{x, y, w, h});
}

TextSize MeasureText(const char* text) {
    const int length = static_cast<int>(std::strlen(text));
    const int height = FrontEnd.font != nullptr ? TTF_FontHeight(FrontEnd.font) : 13;
    return TextSize{TextWidth1252(text, length), height};
}

void WriteText(int x, int y, const char* text) {
    DrawText1252(x, y, text, static_cast<int>(std::strlen(text)));
}

}  // namespace platform
