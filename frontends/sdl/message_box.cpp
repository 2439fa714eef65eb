// The message box: the game's text, caption and buttons in SDL's system box,
// owned by the game window. Decides nothing about what an answer means.
#include <cstdio>

#include "seam/platform.h"
#include "frontends/sdl/codepage.h"
#include "frontends/sdl/front_end.h"
#include "frontends/sdl/retry.h"

namespace {

constexpr int BoxTries = 3;

}  // namespace

namespace platform {

int ShowMessageBox(const char* text, const char* caption, int buttons) {
    struct ButtonSet {
        int buttons;
        SDL_MessageBoxButtonData choices[2];
        int count;
        int closed;  // the answer when the box is closed without a button
    };
    static const ButtonSet sets[] = {
        {Ok, {{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, AnswerOk, "OK"}}, 1,
         AnswerOk},
        {YesNo, {{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, AnswerYes, "Yes"}, {0, AnswerNo, "No"}}, 2, AnswerNo},
        {RetryCancel,
         {{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, AnswerRetry, "Retry"},
          {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, AnswerCancel, "Cancel"}},
         2, AnswerCancel},
    };
    const ButtonSet* set = &sets[0];
    for (const ButtonSet& candidate : sets) {
        if (candidate.buttons == buttons) set = &candidate;
    }
    static char message[1024];
    static char title[256];
    Utf8From1252(text, SDL_strlen(text), message, sizeof message);
    Utf8From1252(caption, SDL_strlen(caption), title, sizeof title);
    // Owned by the game window, as on Windows: transient for it, so that a
    // window manager puts it over the game and on the game's workspace. On an
    // X server without a window manager SDL places an owned box by the
    // parent's corner counted twice (off the screen's edge for the centred
    // game); there nothing else can cover it, so the box goes unowned and
    // centred on the screen, over the centred game window.
    SDL_Window* owner = WindowManagerRuns() ? FrontEnd.window : nullptr;
    const SDL_MessageBoxData box = {SDL_MESSAGEBOX_INFORMATION | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT, owner,
                                    title, message, set->count, set->choices, nullptr};
    ShowSurface();
    int answer = -1;
    if (TryAFewTimes(BoxTries, [&] { return SDL_ShowMessageBox(&box, &answer) == 0; })) {
        return answer < 0 ? set->closed : answer;
    }
    // The game decides what an unshown box means; the player at a terminal
    // still reads what it said.
    std::fprintf(stderr, "quarvelle: %s: %s\nquarvelle: the message box could not be shown: %s\n", title, message,
                 SDL_GetError());
    return Failed;
}

}  // namespace platform
