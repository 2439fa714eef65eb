// The window and its message loop: SDL events become the window messages the
// shell expects, in order, one at a time, and the surface is shown after each.
// Also the default handling Windows would do: minimise, close, caption drag.
// Never looks at the game's state.
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <atomic>
#include <cstdio>

#include "seam/platform.h"
#include "frontends/sdl/codepage.h"
#include "frontends/sdl/front_end.h"
#include "seam/messages.h"
#include "seam/game_entry.h"

SdlFrontEnd FrontEnd;

namespace {

// The fall timer: SDL calls back on its own thread, which only queues a tick
// when none is waiting, so that a slow handler never builds up a backlog.
struct FallTimer {
    SDL_TimerID id;                   // 0: stopped
    int windowTimerId;                // the game's identity for it
    std::atomic<Uint32> generation;   // bumped at every arm and stop; older ticks are dropped
    std::atomic<bool> tickPending;    // a tick event is in the queue
};

FallTimer Timer;

// The caption drag, between the press on the caption and its release.
struct CaptionDrag {
    bool active;  // the left button went down on the caption and is still held
    int grabX;    // the pointer's offset from the window's outer corner, in window pixels
    int grabY;
};

CaptionDrag Drag;

struct KeyCode {
    SDL_Scancode scancode;
    unsigned virtualKey;
};

constexpr KeyCode GameKeys[] = {
    {SDL_SCANCODE_LEFT, msg::VkLeft},   {SDL_SCANCODE_UP, msg::VkUp},
    {SDL_SCANCODE_RIGHT, msg::VkRight}, {SDL_SCANCODE_DOWN, msg::VkDown},
    {SDL_SCANCODE_KP_2, msg::VkNumpad2}, {SDL_SCANCODE_KP_4, msg::VkNumpad4},
    {SDL_SCANCODE_KP_5, msg::VkNumpad5}, {SDL_SCANCODE_KP_6, msg::VkNumpad6},
};

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

// Where the pointer is on the screen. SDL's own answer can be stale on X11
// while the window moves under the pointer, so ask the X server itself.
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

bool InsideWindow(int x, int y) { return x >= 0 && y >= 0 && x < WindowWidth && y < WindowHeight; }

// The game sees every point in game pixels, whatever the scale; only the
// caption drag keeps window pixels, so that the window moves by the screen's.
void DeliverButton(const SDL_MouseButtonEvent& button) {
    if (button.button != SDL_BUTTON_LEFT) return;
    const bool press = button.type == SDL_MOUSEBUTTONDOWN;
    if (!press && Drag.active) {
        // The move ends with the release, which the game never sees.
        Drag.active = false;
        return;
    }
    const int x = GamePixel(button.x), y = GamePixel(button.y);
    // Without a capture, a release outside the window is not the window's.
    if (!InsideWindow(x, y)) return;
    if (platform::OnFrame(x, y)) {
        const platform::ScreenPoint origin = platform::WindowOrigin();
        Deliver(press ? msg::NcLButtonDown : msg::NcLButtonUp, 0, msg::PackPoint(origin.x + x, origin.y + y));
        const bool caption = y < CaptionHeight && x >= FrameSide && x < WindowWidth - FrameSide;
        // As on Windows, every caption press also starts a move; the game has
        // already acted on it, a painted glyph included.
        if (press && caption && !FrontEnd.quitRequested) {
            Drag = CaptionDrag{true, button.x, button.y};
        }
        return;
    }
    const platform::WindowPoint client = platform::ClientPointFromWindow(x, y);
    Deliver(press ? msg::LButtonDown : msg::LButtonUp, 0, msg::PackPoint(client.x, client.y));
}

void DeliverGameEvent(const SDL_Event& event) {
    if (DeliverWindowEvent(event)) return;
    switch (event.type) {
    case SDL_KEYDOWN:
        for (const KeyCode& key : GameKeys) {
            if (key.scancode == event.key.keysym.scancode) Deliver(msg::KeyDown, key.virtualKey, 0);
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        DeliverButton(event.button);
        break;
    case SDL_MOUSEMOTION:
        // A release the loop never saw (a dialog opened by the press took it)
        // ends the move too.
        if (Drag.active && (event.motion.state & SDL_BUTTON_LMASK) == 0) Drag.active = false;
        if (Drag.active) {
            int x = 0, y = 0;
            PointerOnScreen(&x, &y);
            SDL_SetWindowPosition(FrontEnd.window, x - Drag.grabX, y - Drag.grabY);
        }
        break;
    default:
        break;
    }
}

void DeliverActivation(bool active) {
    FrontEnd.active = active;
    Deliver(msg::Activate, active ? msg::ActiveFlag : 0, 0);
}

}  // namespace

void Deliver(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    MainWindowProc(message, wParam, lParam);
    // The open dialog stays on top of whatever the game drew meanwhile.
    if (FrontEnd.dialogOpen && !FrontEnd.dialogEnding) DrawNameDialog();
    ShowSurface();
}

bool DeliverWindowEvent(const SDL_Event& event) {
    if (event.type == FrontEnd.tickEvent) {
        Timer.tickPending = false;
        if (static_cast<Uint32>(event.user.code) == Timer.generation.load() && Timer.id != 0) {
            Deliver(msg::Timer, static_cast<std::uintptr_t>(Timer.windowTimerId), 0);
        }
        return true;
    }
    if (event.type == FrontEnd.soundEvent) {
        RestSound();
        return true;
    }
    if (event.type == FrontEnd.postedEvent) {
        const unsigned message = static_cast<unsigned>(event.user.code);
        const std::uintptr_t wParam = reinterpret_cast<std::uintptr_t>(event.user.data1);
        if (message == msg::SysCommand && wParam == msg::ScMinimize) {
            SDL_MinimizeWindow(FrontEnd.window);
        } else {
            Deliver(message, wParam, 0);
        }
        return true;
    }
    switch (event.type) {
    case SDL_QUIT:
        Deliver(msg::Destroy, 0, 0);
        return true;
    case SDL_WINDOWEVENT:
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            Deliver(msg::Destroy, 0, 0);
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            if (!FrontEnd.active) DeliverActivation(true);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            if (FrontEnd.active) DeliverActivation(false);
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            DeliverActivation(false);
            break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_EXPOSED:
            Deliver(msg::Paint, 0, 0);
            break;
        default:
            break;
        }
        return true;
    default:
        return false;
    }
}

namespace {

// An X server that is starting, resetting or busy with a new client can refuse
// for a moment; a few tries a moment apart tell that from a lasting failure.
constexpr Uint32 RetryPauseMs = 200;
constexpr int VideoTries = 5;
constexpr int BoxTries = 3;

template <typename Attempt>
bool TryAFewTimes(int tries, Attempt attempt) {
    for (int tried = 1; tried <= tries; ++tried) {
        if (attempt()) return true;
        if (tried < tries) SDL_Delay(RetryPauseMs);
    }
    return false;
}

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
    if (SDL_Init(SDL_INIT_TIMER) != 0 || !OpenVideo()) return 0;
    if (TTF_Init() != 0) return 0;
    FrontEnd.tickEvent = SDL_RegisterEvents(3);
    if (FrontEnd.tickEvent == static_cast<Uint32>(-1)) return 0;
    FrontEnd.postedEvent = FrontEnd.tickEvent + 1;
    FrontEnd.soundEvent = FrontEnd.tickEvent + 2;

    SDL_DisplayMode screen;
    const bool screenKnown = SDL_GetDesktopDisplayMode(0, &screen) == 0;
    int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
    if (screenKnown) {
        x = screen.w / 2 - WindowWidth / 2;
        y = screen.h / 2 - WindowHeight / 2;
    }
    FrontEnd.window = SDL_CreateWindow("Quarvelle", x, y, WindowWidth, WindowHeight,
                                       SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN);
    if (FrontEnd.window == nullptr) return 0;
    // The scale is known once the window has a screen; the window is still
    // hidden, so it is sized and centred anew before anyone sees it.
    FrontEnd.scale = ChooseWindowScale();
    if (FrontEnd.scale > 1) {
        const int width = WindowWidth * FrontEnd.scale, height = WindowHeight * FrontEnd.scale;
        SDL_SetWindowSize(FrontEnd.window, width, height);
        if (screenKnown) SDL_SetWindowPosition(FrontEnd.window, screen.w / 2 - width / 2, screen.h / 2 - height / 2);
    }
    if (SDL_Surface* icon = LoadIconSurface()) {
        SDL_SetWindowIcon(FrontEnd.window, icon);
        SDL_FreeSurface(icon);
    }
    if (SDL_GetWindowSurface(FrontEnd.window) == nullptr || !OpenCanvas()) return 0;
    FrontEnd.font = OpenTextFont();

    Deliver(msg::Create, 0, 0);
    SDL_ShowWindow(FrontEnd.window);
    return 1;
}

int RunMessageLoop() {
    SDL_Event event;
    while (!FrontEnd.quitRequested && SDL_WaitEvent(&event)) DeliverGameEvent(event);
    return FrontEnd.exitCode;
}

void CloseGameWindow() {
    platform::StopTimer(Timer.windowTimerId);
    CloseSound();
    for (SDL_Surface*& image : FrontEnd.images) {
        SDL_FreeSurface(image);
        image = nullptr;
    }
    CloseCanvas();
    if (FrontEnd.font != nullptr) TTF_CloseFont(FrontEnd.font);
    FrontEnd.font = nullptr;
    if (FrontEnd.window != nullptr) SDL_DestroyWindow(FrontEnd.window);
    FrontEnd.window = nullptr;
    TTF_Quit();
    SDL_Quit();
}

namespace {

// Whether a window manager runs on the game window's screen: it alone selects
// the redirection of the root window's children.
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

}  // namespace

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

void PostWindowMessage(unsigned message, std::uintptr_t wParam) {
    SDL_Event posted;
    SDL_zero(posted);
    posted.type = FrontEnd.postedEvent;
    posted.user.code = static_cast<Sint32>(message);
    posted.user.data1 = reinterpret_cast<void*>(wParam);
    SDL_PushEvent(&posted);
}

void PostQuit(int exitCode) {
    FrontEnd.quitRequested = true;
    FrontEnd.exitCode = exitCode;
}

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

ScreenPoint WindowOrigin() {
    ScreenPoint origin = {0, 0};
    if (FrontEnd.window != nullptr) SDL_GetWindowPosition(FrontEnd.window, &origin.x, &origin.y);
    return origin;
}

}  // namespace platform
