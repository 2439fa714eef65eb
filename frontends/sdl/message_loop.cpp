// The message loop: SDL events become the window messages the shell expects,
// in order, one at a time, and the surface is shown after each. Also the
// default handling Windows would do: minimise, close, caption drag. Never
// looks at the game's state.
#include "seam/platform.h"
#include "frontends/common/button_message.h"
#include "frontends/sdl/front_end.h"
#include "frontends/sdl/message_box.h"
#include "seam/messages.h"
#include "seam/game_entry.h"

namespace {

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

bool OnCaption(int x, int y) { return y >= 0 && y < CaptionHeight && x >= FrameSide && x < WindowWidth - FrameSide; }

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
    if (!platform::InsideWindow(x, y)) return;
    const platform::ButtonMessage sent = platform::LeftButtonAt(press, x, y, platform::WindowOrigin());
    Deliver(sent.message, 0, sent.lParam);
    // As on Windows, every caption press also starts a move; the game has
    // already acted on it, a painted glyph included.
    if (press && OnCaption(x, y) && !FrontEnd.quitRequested) {
        Drag = CaptionDrag{true, button.x, button.y};
    }
}

// A Wayland client cannot place its window; it asks the compositor to move
// it, which SDL does for a press where this says "draggable": the caption,
// as long as no dialog of the game's own has the input. SDL keeps that press
// (and a release it sees) from the event queue, so each is queued here as a
// caption event for the loop to hand over as the button would be.
SDL_HitTestResult CaptionHitTest(SDL_Window*, const SDL_Point* point, void*) {
    if (FrontEnd.dialogOpen || FrontEnd.boxOpen || FrontEnd.quitRequested) return SDL_HITTEST_NORMAL;
    if (!OnCaption(GamePixel(point->x), GamePixel(point->y))) return SDL_HITTEST_NORMAL;
    SDL_Event caption;
    SDL_zero(caption);
    caption.type = FrontEnd.captionEvent;
    caption.user.code = point->x;
    caption.user.data1 = reinterpret_cast<void*>(static_cast<std::intptr_t>(point->y));
    SDL_PushEvent(&caption);
    return SDL_HITTEST_DRAGGABLE;
}

// The press the compositor's move began with, or (while that move is held)
// its release, which the game never sees.
void DeliverCaptionHit(const SDL_Event& event) {
    SDL_MouseButtonEvent button;
    SDL_zero(button);
    button.type = Drag.active ? SDL_MOUSEBUTTONUP : SDL_MOUSEBUTTONDOWN;
    button.button = SDL_BUTTON_LEFT;
    button.x = event.user.code;
    button.y = static_cast<int>(reinterpret_cast<std::intptr_t>(event.user.data1));
    DeliverButton(button);
}

void DeliverGameEvent(const SDL_Event& event) {
    if (DeliverWindowEvent(event)) return;
    if (event.type == FrontEnd.captionEvent) {
        DeliverCaptionHit(event);
        return;
    }
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
        // On Wayland the compositor moves the window itself.
        if (Drag.active && !FrontEnd.movedByCompositor) {
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
    // The open dialog or box stays on top of whatever the game drew meanwhile.
    if (FrontEnd.dialogOpen && !FrontEnd.dialogEnding) DrawNameDialog();
    DrawWindowBox();
    ShowSurface();
}

bool DeliverWindowEvent(const SDL_Event& event) {
    if (event.type == FrontEnd.tickEvent) {
        DeliverTick(event);
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
        // Only the game window's own; the message box's stand-in owner is never shown.
        if (event.window.windowID != SDL_GetWindowID(FrontEnd.window)) return true;
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

void LetTheCompositorMove() {
    FrontEnd.movedByCompositor = SDL_SetWindowHitTest(FrontEnd.window, CaptionHitTest, nullptr) == 0;
}

int RunMessageLoop() {
    SDL_Event event;
    while (!FrontEnd.quitRequested && SDL_WaitEvent(&event)) DeliverGameEvent(event);
    return FrontEnd.exitCode;
}

namespace platform {

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

ScreenPoint WindowOrigin() {
    ScreenPoint origin = {0, 0};
    if (FrontEnd.window != nullptr) SDL_GetWindowPosition(FrontEnd.window, &origin.x, &origin.y);
    return origin;
}

}  // namespace platform
