// The window's whole-number scale: k from the desktop's Xft.dpi on X11, from
// the compositor's scale on Wayland, lowered until the window fits its
// screen; at k above 1 the game draws its 350 by 420 picture on a canvas of
// its own, and each shown rectangle is copied onto the window k by k, never
// smoothed. At k 1 on X11 the game draws on the window itself, as it always
// did.
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <cstring>

#include "frontends/common/display_scale.h"
#include "frontends/sdl/front_end.h"

namespace {

// Xft.dpi as the whole number the scale rule takes, or 0 when it is not set.
int DesktopDpi(Display* display) {
    const char* resources = XResourceManagerString(display);
    if (resources == nullptr) return 0;
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(resources);
    if (database == nullptr) return 0;
    int dpi = 0;
    char* type = nullptr;
    XrmValue value;
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value)) dpi = platform::DpiFromSetting(value.addr);
    XrmDestroyDatabase(database);
    return dpi;
}

// Copies one pixel's bytes `times` times side by side.
void Repeat(Uint8* to, const Uint8* pixel, int bytes, int times) {
    for (int i = 0; i < times; ++i, to += bytes) std::memcpy(to, pixel, static_cast<std::size_t>(bytes));
}

}  // namespace

int ChooseDesktopScale() {
    int points = 0, pixels = 0, height = 0;
    SDL_GetWindowSize(FrontEnd.window, &points, &height);
    SDL_GetWindowSizeInPixels(FrontEnd.window, &pixels, &height);
    return points > 0 && pixels > points ? pixels / points : 1;
}

int ChooseWindowScale() {
    int dpi = 0;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    const bool known = SDL_GetWindowWMInfo(FrontEnd.window, &info) != 0;
    if (known && info.subsystem == SDL_SYSWM_X11) dpi = DesktopDpi(info.info.x11.display);
    // On Wayland the compositor's scale is the desktop's setting; the work
    // area is counted in points there, the fit in device pixels.
    const int ratio = FrontEnd.pointRatio > 1 ? FrontEnd.pointRatio : 1;
    if (known && info.subsystem == SDL_SYSWM_WAYLAND) dpi = platform::DpiFromDesktopScale(ratio);
    SDL_Rect work;
    const int display = SDL_GetWindowDisplayIndex(FrontEnd.window);
    if (SDL_GetDisplayUsableBounds(display < 0 ? 0 : display, &work) != 0) return 1;
    return platform::ChooseScale(dpi, work.w * ratio, work.h * ratio);
}

bool OpenCanvas() {
    if (FrontEnd.scale <= 1 || FrontEnd.renderer != nullptr) return true;
    const SDL_Surface* window = SDL_GetWindowSurface(FrontEnd.window);
    if (window == nullptr) return false;
    FrontEnd.canvas = SDL_CreateRGBSurfaceWithFormat(0, WindowWidth, WindowHeight, window->format->BitsPerPixel,
                                                     window->format->format);
    return FrontEnd.canvas != nullptr;
}

void CloseCanvas() {
    SDL_FreeSurface(FrontEnd.canvas);
    FrontEnd.canvas = nullptr;
}

SDL_Surface* GameSurface() {
    return FrontEnd.canvas != nullptr ? FrontEnd.canvas : SDL_GetWindowSurface(FrontEnd.window);
}

int GamePixel(int windowPoint) {
    const int ratio = FrontEnd.pointRatio > 1 ? FrontEnd.pointRatio : 1;
    return platform::FloorDivide(windowPoint * ratio, FrontEnd.scale > 1 ? FrontEnd.scale : 1);
}

SDL_Rect ScaleOntoWindow(const SDL_Rect& game) {
    const int k = FrontEnd.scale;
    SDL_Surface* window = SDL_GetWindowSurface(FrontEnd.window);
    const SDL_Surface* canvas = FrontEnd.canvas;
    if (canvas == nullptr || window == nullptr || k <= 1 || window->format->format != canvas->format->format) {
        return game;
    }
    const int bytes = canvas->format->BytesPerPixel;
    const std::size_t rowBytes = static_cast<std::size_t>(game.w) * k * bytes;
    for (int y = game.y; y < game.y + game.h; ++y) {
        const Uint8* from = static_cast<const Uint8*>(canvas->pixels) + y * canvas->pitch + game.x * bytes;
        Uint8* first = static_cast<Uint8*>(window->pixels) + y * k * window->pitch + game.x * k * bytes;
        if (bytes == 4) {
            // The usual window format: four bytes a pixel, copied as words.
            const Uint32* source = reinterpret_cast<const Uint32*>(from);
            Uint32* to = reinterpret_cast<Uint32*>(first);
            for (int x = 0; x < game.w; ++x) {
                for (int i = 0; i < k; ++i) *to++ = source[x];
            }
        } else {
            for (int x = 0; x < game.w; ++x) Repeat(first + x * k * bytes, from + x * bytes, bytes, k);
        }
        for (int copy = 1; copy < k; ++copy) std::memcpy(first + copy * window->pitch, first, rowBytes);
    }
    return SDL_Rect{game.x * k, game.y * k, game.w * k, game.h * k};
}
