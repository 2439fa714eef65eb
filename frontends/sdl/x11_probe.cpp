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

namespace {

// The first window below `parent` (at most `depth` levels down) that is
// transient for one of `owners`, or 0.
Window FindOwnedWindow(Display* display, Window parent, const Window* owners, int ownerCount, int depth) {
    Window root = 0, up = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count)) return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && found == 0; ++i) {
        Window owner = 0;
        if (XGetTransientForHint(display, children[i], &owner)) {
            for (int o = 0; o < ownerCount; ++o) {
                if (owner == owners[o]) found = children[i];
            }
        }
        if (found == 0 && depth > 1) found = FindOwnedWindow(display, children[i], owners, ownerCount, depth - 1);
    }
    if (children != nullptr) XFree(children);
    return found;
}

}  // namespace

bool AskOwnedBoxToClose(SDL_Window* const* owners, int ownerCount) {
    Window ownerIds[2] = {0, 0};
    int known = 0;
    for (int i = 0; i < ownerCount && known < 2; ++i) {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (owners[i] != nullptr && SDL_GetWindowWMInfo(owners[i], &info) && info.subsystem == SDL_SYSWM_X11) {
            ownerIds[known++] = info.info.x11.window;
        }
    }
    if (known == 0) return false;
    // A connection of this thread's own: the main thread is inside the box.
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return false;
    // A window manager's frame holds the box a level or two below the root.
    const Window box = FindOwnedWindow(display, DefaultRootWindow(display), ownerIds, known, 3);
    if (box != 0) {
        XEvent close = {};
        close.xclient.type = ClientMessage;
        close.xclient.window = box;
        close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        close.xclient.format = 32;
        close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        close.xclient.data.l[1] = CurrentTime;
        // With no event mask the message goes to the box's own client.
        XSendEvent(display, box, False, NoEventMask, &close);
        XFlush(display);
    }
    XCloseDisplay(display);
    return box != 0;
}
