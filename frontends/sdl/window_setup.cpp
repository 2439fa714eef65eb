// The video set-up and the game window: SDL's start with its retry, the
// window made hidden, sized to its scale and centred before it is shown, and
// everything released at the end. Never looks at the game's state.
#include <initializer_list>

#include "frontends/sdl/front_end.h"
#include "frontends/sdl/retry.h"
#include "seam/messages.h"
#include "seam/game_entry.h"

SdlFrontEnd FrontEnd;

namespace {

constexpr int VideoTries = 5;

// SDL falls back to drivers that draw into memory when no display answers; a
// game running there shows nobody anything. They serve only when asked for
// by name in SDL_VIDEODRIVER.
bool ShowsAWindow(const char* driver) {
    if (driver == nullptr) return false;
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    if (asked != nullptr && SDL_strcasecmp(asked, driver) == 0) return true;
    for (const char* memoryOnly : {"offscreen", "dummy", "evdev"}) {
        if (SDL_strcasecmp(driver, memoryOnly) == 0) return false;
    }
    return true;
}

bool OpenVideo() {
    return TryAFewTimes(VideoTries, [] {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
        if (ShowsAWindow(SDL_GetCurrentVideoDriver())) return true;
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_SetError("no display answered (SDL could only draw off the screen)");
        return false;
    });
}

}  // namespace

int OpenGameWindow() {
    // A software window surface: no OpenGL stack, a fraction of the memory.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // A click that activates the window also reaches the game, as on Windows.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // A desktop window among others: the compositor may keep compositing it.
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // SIGTERM and SIGINT are the program's own (WatchQuitSignals): SDL's
    // handlers would only queue a quit that a modal box never reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_Init(SDL_INIT_TIMER) != 0) return 0;
    WatchQuitSignals();
    if (!OpenVideo()) return 0;
    if (TTF_Init() != 0) return 0;
    FrontEnd.tickEvent = SDL_RegisterEvents(4);
    if (FrontEnd.tickEvent == static_cast<Uint32>(-1)) return 0;
    FrontEnd.postedEvent = FrontEnd.tickEvent + 1;
    FrontEnd.soundEvent = FrontEnd.tickEvent + 2;
    FrontEnd.captionEvent = FrontEnd.tickEvent + 3;

    SDL_DisplayMode screen;
    const bool screenKnown = SDL_GetDesktopDisplayMode(0, &screen) == 0;
    int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
    if (screenKnown) {
        x = screen.w / 2 - WindowWidth / 2;
        y = screen.h / 2 - WindowHeight / 2;
    }
    // A compositor that scales (Wayland) gives a high-density window its
    // device pixels, so that the game's are never smoothed by it; X11 has no
    // such window and keeps the flag out of it.
    const char* driver = SDL_GetCurrentVideoDriver();
    const bool compositorScales = driver != nullptr && SDL_strcmp(driver, "wayland") == 0;
    FrontEnd.window = SDL_CreateWindow("Quarvelle", x, y, WindowWidth, WindowHeight,
                                       SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN |
                                           (compositorScales ? SDL_WINDOW_ALLOW_HIGHDPI : 0));
    if (FrontEnd.window == nullptr) return 0;
    // The scale is known once the window has a screen; the window is still
    // hidden, so it is sized and centred anew before anyone sees it. Its size
    // is in points: k device pixels a game pixel are k / ratio points.
    FrontEnd.pointRatio = ChooseDesktopScale();
    FrontEnd.scale = ChooseWindowScale();
    if (FrontEnd.scale != FrontEnd.pointRatio) {
        const int ratio = FrontEnd.pointRatio;
        const int width = (WindowWidth * FrontEnd.scale + ratio - 1) / ratio;
        const int height = (WindowHeight * FrontEnd.scale + ratio - 1) / ratio;
        SDL_SetWindowSize(FrontEnd.window, width, height);
        if (screenKnown) SDL_SetWindowPosition(FrontEnd.window, screen.w / 2 - width / 2, screen.h / 2 - height / 2);
    }
    if (SDL_Surface* icon = LoadIconSurface()) {
        SDL_SetWindowIcon(FrontEnd.window, icon);
        SDL_FreeSurface(icon);
    }
    // X11's window surface is drawn on directly; a driver without one
    // (Wayland) is shown through the renderer.
    if (SDL_GetWindowSurface(FrontEnd.window) == nullptr && !OpenPresenter()) return 0;
    if (!OpenCanvas()) return 0;
    if (compositorScales) LetTheCompositorMove();
    FrontEnd.font = OpenTextFont();

    Deliver(msg::Create, 0, 0);
    SDL_ShowWindow(FrontEnd.window);
    return 1;
}

void CloseGameWindow() {
    StopWatchingQuitSignals();
    StopFallTimer();
    CloseSound();
    for (SDL_Surface*& image : FrontEnd.images) {
        SDL_FreeSurface(image);
        image = nullptr;
    }
    CloseCanvas();
    ClosePresenter();
    CloseMessageBoxes();
    if (FrontEnd.font != nullptr) TTF_CloseFont(FrontEnd.font);
    FrontEnd.font = nullptr;
    if (FrontEnd.window != nullptr) SDL_DestroyWindow(FrontEnd.window);
    FrontEnd.window = nullptr;
    TTF_Quit();
    SDL_Quit();
}
