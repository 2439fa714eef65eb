// The message box: on X11 SDL's own box, owned by the game window; where no
// such box can be shown (Wayland, where SDL would need a helper program; an
// X server that refuses the box's connection) the box drawn in the game's
// window. A box nobody saw is never taken for an answer. Decides nothing
// about what an answer means.
#include <SDL_syswm.h>

#include <atomic>
#include <cstdio>

#include "seam/platform.h"
#include "frontends/sdl/codepage.h"
#include "frontends/sdl/front_end.h"
#include "frontends/sdl/message_box.h"
#include "frontends/sdl/retry.h"

namespace {

constexpr int BoxTries = 3;

constexpr BoxKind Kinds[] = {
    {platform::Ok, {{platform::AnswerOk, "OK", true, true}}, 1, platform::AnswerOk},
    {platform::YesNo, {{platform::AnswerYes, "Yes", true, false}, {platform::AnswerNo, "No", false, false}}, 2,
     platform::AnswerNo},
    {platform::RetryCancel,
     {{platform::AnswerRetry, "Retry", true, false}, {platform::AnswerCancel, "Cancel", false, true}}, 2,
     platform::AnswerCancel},
};

struct SystemBox {
    std::atomic<bool> showing;  // the main thread is inside SDL's box
    SDL_Window* standIn;        // without a window manager, the box's owner (see ShowSystemBox)
};

SystemBox System = {{false}, nullptr};

// SDL's box on the game's X connection. It is always owned, as on Windows:
// transient for the game window, so that a window manager puts it over the
// game and on the game's workspace. Owned, it is also SDL's own X box and
// never a helper program's, whose failure SDL would take for a pressed
// button. Without a window manager SDL places an owned box by the parent's
// corner counted twice (off the screen's edge for the centred game); there
// the owner is a never-shown stand-in covering the screen from its corner,
// which puts the box centred on the screen, over the centred game window.
// True with the answer when the box was shown.
bool ShowSystemBox(const char* title, const char* message, const BoxKind& kind, int* answer) {
    SDL_Window* owner = FrontEnd.window;
    if (!WindowManagerRuns()) {
        SDL_Rect screen = {0, 0, WindowWidth, WindowHeight};
        SDL_GetDisplayBounds(0, &screen);
        if (System.standIn == nullptr) {
            System.standIn = SDL_CreateWindow("", screen.x, screen.y, screen.w, screen.h,
                                              SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN);
        }
        owner = System.standIn;
    }
    if (owner == nullptr) return false;
    SDL_MessageBoxButtonData choices[2];
    for (int i = 0; i < kind.count; ++i) {
        const BoxChoice& choice = kind.choices[i];
        choices[i] = SDL_MessageBoxButtonData{
            (choice.onReturn ? Uint32{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT} : 0u) |
                (choice.onEscape ? Uint32{SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT} : 0u),
            choice.answer, choice.label};
    }
    const SDL_MessageBoxData box = {SDL_MESSAGEBOX_INFORMATION | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT, owner,
                                    title, message, kind.count, choices, nullptr};
    System.showing = true;
    const bool shown = TryAFewTimes(BoxTries, [&] {
        return !QuitSignalled() && SDL_ShowMessageBox(&box, answer) == 0;
    });
    System.showing = false;
    return shown;
}

// Whether SDL can show a box of its own in-process: only on X11. Elsewhere
// (Wayland) it would start a helper program, whose failure it cannot tell
// from an answer.
bool SystemBoxServes() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    return FrontEnd.window != nullptr && SDL_GetWindowWMInfo(FrontEnd.window, &info) &&
           info.subsystem == SDL_SYSWM_X11;
}

}  // namespace

void CloseSystemBox() {
    SDL_Window* const owners[] = {FrontEnd.window, System.standIn};
    // The box may still be on its way to the screen: ask until it has gone,
    // for a few seconds at most.
    for (int tries = 0; System.showing && tries < 100; ++tries) {
        AskOwnedBoxToClose(owners, 2);
        SDL_Delay(50);
    }
}

void CloseMessageBoxes() {
    if (System.standIn != nullptr) SDL_DestroyWindow(System.standIn);
    System.standIn = nullptr;
}

namespace platform {

int ShowMessageBox(const char* text, const char* caption, int buttons) {
    const BoxKind* kind = &Kinds[0];
    for (const BoxKind& candidate : Kinds) {
        if (candidate.buttons == buttons) kind = &candidate;
    }
    // A program asked to end shows nothing more: the box counts as closed.
    if (FrontEnd.quitRequested || QuitSignalled()) return kind->closed;
    static char message[1024];
    static char title[256];
    Utf8From1252(text, SDL_strlen(text), message, sizeof message);
    Utf8From1252(caption, SDL_strlen(caption), title, sizeof title);
    ShowSurface();
    if (SystemBoxServes()) {
        int answer = -1;
        if (ShowSystemBox(title, message, *kind, &answer)) return answer < 0 ? kind->closed : answer;
        if (QuitSignalled()) return kind->closed;
    } else {
        SDL_SetError("no system message box on the %s driver", SDL_GetCurrentVideoDriver());
    }
    // The player at a terminal reads what the box said, and why it is drawn
    // in the game's window.
    std::fprintf(stderr, "quarvelle: %s: %s\nquarvelle: the message box could not be shown: %s\n", title, message,
                 SDL_GetError());
    return RunWindowBox(text, caption, *kind);
}

}  // namespace platform
