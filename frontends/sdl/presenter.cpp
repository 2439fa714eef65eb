// The picture shown through SDL's renderer, for a driver that has no software
// window surface (Wayland): the game draws on a canvas of its own, each shown
// rectangle is streamed into a texture of the same size, and the texture is
// drawn k by k device pixels a game pixel, nearest-neighbour, never smoothed.
// X11 keeps its window surface and never comes here.
#include "frontends/sdl/front_end.h"

namespace {

// The texture's and the canvas's format: a streamed rectangle is a plain copy.
constexpr Uint32 PictureFormat = SDL_PIXELFORMAT_ARGB8888;

}  // namespace

bool OpenPresenter() {
    // Whole pixels only, whatever the renderer's own default.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    FrontEnd.renderer = SDL_CreateRenderer(FrontEnd.window, -1, 0);
    if (FrontEnd.renderer == nullptr) return false;
    FrontEnd.texture =
        SDL_CreateTexture(FrontEnd.renderer, PictureFormat, SDL_TEXTUREACCESS_STREAMING, WindowWidth, WindowHeight);
    FrontEnd.canvas = SDL_CreateRGBSurfaceWithFormat(0, WindowWidth, WindowHeight, 32, PictureFormat);
    if (FrontEnd.texture == nullptr || FrontEnd.canvas == nullptr) return false;
    SDL_SetTextureBlendMode(FrontEnd.texture, SDL_BLENDMODE_NONE);
    SDL_FillRect(FrontEnd.canvas, nullptr, SDL_MapRGB(FrontEnd.canvas->format, 0, 0, 0));
    return true;
}

void ClosePresenter() {
    if (FrontEnd.texture != nullptr) SDL_DestroyTexture(FrontEnd.texture);
    FrontEnd.texture = nullptr;
    if (FrontEnd.renderer != nullptr) SDL_DestroyRenderer(FrontEnd.renderer);
    FrontEnd.renderer = nullptr;
}

void PresentCanvas(const SDL_Rect& game) {
    const SDL_Surface* canvas = FrontEnd.canvas;
    const Uint8* first = static_cast<const Uint8*>(canvas->pixels) + game.y * canvas->pitch + game.x * 4;
    SDL_UpdateTexture(FrontEnd.texture, &game, first, canvas->pitch);
    // A presented frame leaves the next one undefined: the whole picture is
    // drawn every time, which the renderer does in one copy.
    const int k = FrontEnd.scale > 1 ? FrontEnd.scale : 1;
    const SDL_Rect place = {0, 0, WindowWidth * k, WindowHeight * k};
    SDL_SetRenderDrawColor(FrontEnd.renderer, 0, 0, 0, 255);
    SDL_RenderClear(FrontEnd.renderer);
    SDL_RenderCopy(FrontEnd.renderer, FrontEnd.texture, nullptr, &place);
    SDL_RenderPresent(FrontEnd.renderer);
}
