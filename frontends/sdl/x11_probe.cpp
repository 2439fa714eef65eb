// What only the X server itself can tell the front-end: where the pointer is
// right now, and whether a window manager runs. Each answer has a fallback
// for a window that is not on X.
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include "frontends/sdl/front_end.h"

void PointerOnScreen(int* x, int* y) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(FrontEnd.window, &info) && info.subsystem == SDL_SYSWM_X11) {
        Window root = 0, child = 0;
        int windowX = 0, windowY = 0;
        unsigned int buttons = 0;
        if (XQueryPointer(info.info.x11.display, info.info.x11.window, &root, &child, x, y, &windowX, &windowY,
                          &buttons)) {
            return;
        }
    }
    SDL_GetGlobalMouseState(x, y);
}

// A window manager alone selects the redirection of the root window's children.
bool WindowManagerRuns() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (FrontEnd.window == nullptr || !SDL_GetWindowWMInfo(FrontEnd.window, &info) ||
        info.subsystem != SDL_SYSWM_X11) {
        return true;  // not X: the system places an owned box itself
    }
    XWindowAttributes root;
    if (!XGetWindowAttributes(info.info.x11.display, DefaultRootWindow(info.info.x11.display), &root)) return true;
    return (root.all_event_masks & SubstructureRedirectMask) != 0;
}
