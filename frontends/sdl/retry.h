// A few tries a moment apart, for what an X server can refuse for a moment:
// one that is starting, resetting or busy with a new client. The video set-up
// and the message box use it; each says how many tries it takes.
#pragma once

#include <SDL.h>

constexpr Uint32 RetryPauseMs = 200;

// Calls attempt() up to `tries` times, a pause between tries, until it says
// true; false when every try failed.
template <typename Attempt>
bool TryAFewTimes(int tries, Attempt attempt) {
    for (int tried = 1; tried <= tries; ++tried) {
        if (attempt()) return true;
        if (tried < tries) SDL_Delay(RetryPauseMs);
    }
    return false;
}
