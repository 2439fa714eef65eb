// Benchmark of the SDL front-end, run by tests/sdl/bench.sh: the start-up to
// the first picture shown, and one key move handled and shown. Prints figures;
// passes or fails nothing. Expects a VORN.DAT in the current directory.
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "engine/game_state.h"
#include "frontends/sdl/front_end.h"
#include "seam/messages.h"
#include "seam/game_entry.h"

namespace {

using Clock = std::chrono::steady_clock;

double MicrosecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

constexpr int KeyMoves = 2000;
double Samples[KeyMoves];

}  // namespace

int main(int, char**) {
    const Clock::time_point start = Clock::now();
    const int opened = OpenGameWindow();
    const double windowOpen = MicrosecondsSince(start);
    if (opened == 0 || StartUp() == 0) {
        std::printf("the game window could not start (is VORN.DAT here?)\n");
        CloseGameWindow();
        return 1;
    }
    const double gameStarted = MicrosecondsSince(start);
    ShowSurface();
    const double shown = MicrosecondsSince(start);
    std::printf("first picture shown: %.1f ms after main() (SDL and the window %.1f, the game's start-up %.1f, "
                "showing it %.1f)\n",
                shown / 1000.0, windowOpen / 1000.0, (gameStarted - windowOpen) / 1000.0,
                (shown - gameStarted) / 1000.0);
    // For the script, which knows when it started the process.
    std::printf("first picture shown at: %lld ns since the epoch\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                           std::chrono::system_clock::now().time_since_epoch())
                                           .count()));
    OpenSound();

    // Go, pressed and released in the client area, then one tick brings the
    // first piece into the field.
    const Clock::time_point press = Clock::now();
    Deliver(msg::LButtonDown, 0, msg::PackPoint(70, 50));
    // The press waits for its click sound: this shows the sound device works.
    std::printf("Go pressed, click sound waited for: %.1f ms\n", MicrosecondsSince(press) / 1000.0);
    Deliver(msg::LButtonUp, 0, msg::PackPoint(70, 50));
    Deliver(msg::Timer, 1, 0);
    if (!Game.running || !Game.pieceFalling) std::printf("no piece is falling: the key moves below do nothing\n");
    for (int i = 0; i < KeyMoves; ++i) {
        const Clock::time_point before = Clock::now();
        Deliver(msg::KeyDown, i % 2 == 0 ? msg::VkLeft : msg::VkRight, 0);
        Samples[i] = MicrosecondsSince(before);
    }
    std::sort(Samples, Samples + KeyMoves);
    double sum = 0;
    for (double sample : Samples) sum += sample;
    std::printf("key move handled and shown: mean %.1f us, median %.1f us, 99th percentile %.1f us (%d moves)\n",
                sum / KeyMoves, Samples[KeyMoves / 2], Samples[KeyMoves * 99 / 100], KeyMoves);
    Deliver(msg::Destroy, 0, 0);
    CloseGameWindow();
    return 0;
}
