// The fall timer: SDL calls back on its own thread, which only queues a tick
// when none is waiting, so that a slow handler never builds up a backlog.
// Knows nothing of what a tick does in the game.
#include <atomic>

#include "seam/messages.h"
#include "seam/platform.h"
#include "frontends/sdl/front_end.h"

namespace {

struct FallTimer {
    SDL_TimerID id;                   // 0: stopped
    int windowTimerId;                // the game's identity for it
    std::atomic<Uint32> generation;   // bumped at every arm and stop; older ticks are dropped
    std::atomic<bool> tickPending;    // a tick event is in the queue
};

FallTimer Timer;

Uint32 TickCallback(Uint32 interval, void* param) {
    const Uint32 generation = static_cast<Uint32>(reinterpret_cast<std::uintptr_t>(param));
    if (generation == Timer.generation.load() && !Timer.tickPending.exchange(true)) {
        SDL_Event tick;
        SDL_zero(tick);
        tick.type = FrontEnd.tickEvent;
        tick.user.code = static_cast<Sint32>(generation);
        SDL_PushEvent(&tick);
    }
    return interval;
}

}  // namespace

void DeliverTick(const SDL_Event& tick) {
    Timer.tickPending = false;
    if (static_cast<Uint32>(tick.user.code) == Timer.generation.load() && Timer.id != 0) {
        Deliver(msg::Timer, static_cast<std::uintptr_t>(Timer.windowTimerId), 0);
    }
}

void StopFallTimer() { platform::StopTimer(Timer.windowTimerId); }

namespace platform {

void ArmTimer(int id, int periodMs) {
    if (Timer.id != 0) SDL_RemoveTimer(Timer.id);
    Timer.windowTimerId = id;
    const Uint32 generation = ++Timer.generation;
    Timer.tickPending = false;
    Timer.id = SDL_AddTimer(static_cast<Uint32>(periodMs > 0 ? periodMs : 1), TickCallback,
                            reinterpret_cast<void*>(static_cast<std::uintptr_t>(generation)));
}

void StopTimer(int) {
    if (Timer.id != 0) SDL_RemoveTimer(Timer.id);
    Timer.id = 0;
    ++Timer.generation;
}

}  // namespace platform
