// SIGTERM and SIGINT end the program the way Quit does. The handler only
// writes a byte to a pipe; a watcher thread turns it into SDL's quit event,
// which every loop (the message loop, the name dialog, the in-window box)
// delivers as the destruction message, and wakes whatever blocks the main
// thread without reading events: a waiting sound, an open system box.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "frontends/sdl/front_end.h"

namespace {

struct QuitWatch {
    int pipe[2];                 // the handler writes to [1], the watcher reads [0]; -1 when closed
    SDL_Thread* watcher;         // null until watching
    std::atomic<bool> signalled; // a signal has asked the program to end
};

QuitWatch Watch = {{-1, -1}, nullptr, {false}};

constexpr char EndSignal = 's';
constexpr char EndWatch = 'x';  // written by StopWatchingQuitSignals

void OnQuitSignal(int) {
    const int saved = errno;
    const char byte = EndSignal;
    const ssize_t written = write(Watch.pipe[1], &byte, 1);
    static_cast<void>(written);  // a full pipe already holds a request
    errno = saved;
}

int WatchForQuit(void*) {
    for (;;) {
        char byte = 0;
        const ssize_t got = read(Watch.pipe[0], &byte, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0 || byte == EndWatch) return 0;
        if (Watch.signalled.exchange(true)) continue;
        SDL_Event quit;
        SDL_zero(quit);
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
        WakeWaitingSound();
        CloseSystemBox();
    }
}

}  // namespace

bool WatchQuitSignals() {
    if (pipe2(Watch.pipe, O_CLOEXEC) != 0) return false;
    fcntl(Watch.pipe[1], F_SETFL, O_NONBLOCK);
    Watch.watcher = SDL_CreateThread(WatchForQuit, "quit signals", nullptr);
    if (Watch.watcher == nullptr) return false;
    struct sigaction action = {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    // Restarted, so that no other call on any thread fails for the signal.
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    return true;
}

void StopWatchingQuitSignals() {
    if (Watch.watcher == nullptr) return;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    const char byte = EndWatch;
    while (write(Watch.pipe[1], &byte, 1) < 0 && errno == EINTR) {
    }
    SDL_WaitThread(Watch.watcher, nullptr);
    Watch.watcher = nullptr;
    close(Watch.pipe[0]);
    close(Watch.pipe[1]);
    Watch.pipe[0] = Watch.pipe[1] = -1;
}

bool QuitSignalled() { return Watch.signalled.load(); }
