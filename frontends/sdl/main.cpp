// The Linux program's entry: open the window, let the shell start the game,
// run the loop. Exits with the code the shell asks for (0 when the game ends).
#include <cstdio>

#include "frontends/sdl/front_end.h"
#include "seam/game_entry.h"

namespace {

// No window, no game: a start from a terminal or a menu must not pass for one
// that ran.
constexpr int NoWindowExitCode = 1;

}  // namespace

int main(int, char**) {
    if (OpenGameWindow() == 0) {
        std::fprintf(stderr, "quarvelle: the game window could not be opened: %s\n", SDL_GetError());
        CloseGameWindow();
        return NoWindowExitCode;
    }
    int exitCode = 0;
    if (StartUp() != 0) {
        ShowSurface();
        // After the first picture, so that the sound device never delays it.
        OpenSound();
        exitCode = RunMessageLoop();
    } else {
        exitCode = FrontEnd.exitCode;  // 0 unless the start-up asked for another
    }
    CloseGameWindow();
    return exitCode;
}
