// The page's entry and its message loop: the page's events become the window
// messages the shell expects, in order, one at a time, and the loop sleeps
// (Asyncify) until the next one, as SDL_WaitEvent does on Linux. Also what a
// window system would do on its own: fold for minimise, and the end of the
// game. The caption drag is the page's alone: as on Windows, a caption press
// reaches the game and also starts a move, whose release the game never sees.
// Never looks at the game's state.
#include <emscripten.h>

#include "frontends/common/button_message.h"
#include "frontends/web/web_front_end.h"
#include "seam/game_entry.h"
#include "seam/messages.h"
#include "seam/platform.h"
#include "seam/window_geometry.h"

WebFrontEnd FrontEnd;

namespace {

using platform::WindowHeight;
using platform::WindowWidth;

// clang-format off
EM_JS(void, OpenPage, (), { QV.open(() => HEAPU8); });
EM_JS(int, TakePageEvent, (PageEvent* event), {
    const taken = QV.takeEvent();
    if (!taken) return 0;
    HEAP32[(event >> 2) + 0] = taken[0];
    HEAP32[(event >> 2) + 1] = taken[1];
    HEAP32[(event >> 2) + 2] = taken[2];
    return 1;
});
EM_ASYNC_JS(void, WaitForPageEvent, (), { await QV.eventArrived(); });
EM_JS(void, NoteShown, (), { QV.noteShown(); });
EM_JS(void, NoteFirstPicture, (), { QV.noteFirstPicture(); });
EM_JS(void, FoldPicture, (), { QV.fold(); });
EM_JS(void, ShowGameEnded, (int exitCode), { QV.ended(exitCode); });
EM_JS(void, ArmPageTimer, (int periodMs), { QV.armTimer(periodMs); });
EM_JS(void, StopPageTimer, (), { QV.stopTimer(); });
EM_JS(void, PostPageMessage, (unsigned message, unsigned wParam), { QV.post(message, wParam); });
EM_JS(int, PictureLeft, (), { return QV.origin()[0]; });
EM_JS(int, PictureTop, (), { return QV.origin()[1]; });
// clang-format on

void DeliverActivation(bool active) {
    FrontEnd.active = active;
    Deliver(msg::Activate, active ? msg::ActiveFlag : 0, 0);
}

// Points arrive in game pixels, whatever the scale the page shows.
void DeliverButton(const PageEvent& event) {
    const bool press = event.type == PressEvent;
    const int x = event.a, y = event.b;
    if (!platform::InsideWindow(x, y)) return;
    const platform::ButtonMessage sent = platform::LeftButtonAt(press, x, y, platform::WindowOrigin());
    Deliver(sent.message, 0, sent.lParam);
}

void DeliverGameEvent(const PageEvent& event) {
    if (DeliverWindowEvent(event)) return;
    switch (event.type) {
    case KeyEvent:
        Deliver(msg::KeyDown, static_cast<std::uintptr_t>(event.a), 0);
        break;
    case PressEvent:
    case ReleaseEvent:
        DeliverButton(event);
        break;
    default:
        break;  // an answer or a command no box or dialog waits for
    }
}

}  // namespace

void NextPageEvent(PageEvent& event) {
    while (!TakePageEvent(&event)) WaitForPageEvent();
}

void Deliver(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    MainWindowProc(message, wParam, lParam);
    // The canvas shows what was drawn as soon as the wasm yields to the page.
    NoteShown();
}

bool DeliverWindowEvent(const PageEvent& event) {
    switch (event.type) {
    case TickEvent:
        Deliver(msg::Timer, static_cast<std::uintptr_t>(FrontEnd.timerId), 0);
        return true;
    case PostedEvent: {
        const unsigned message = static_cast<unsigned>(event.a);
        const std::uintptr_t wParam = static_cast<unsigned>(event.b);
        if (message == msg::SysCommand && wParam == msg::ScMinimize) {
            // A page cannot minimise itself: the picture folds to its caption,
            // and like a minimised window it has lost the focus.
            FoldPicture();
            DeliverActivation(false);
        } else {
            Deliver(message, wParam, 0);
        }
        return true;
    }
    case FocusEvent:
        if ((event.a != 0) != FrontEnd.active) DeliverActivation(event.a != 0);
        return true;
    case UnfoldEvent:
        // As a restored window: activated, then repainted.
        DeliverActivation(true);
        Deliver(msg::Paint, 0, 0);
        return true;
    default:
        return false;
    }
}

namespace platform {

void ArmTimer(int id, int periodMs) {
    FrontEnd.timerId = id;
    ArmPageTimer(periodMs > 0 ? periodMs : 1);
}

void StopTimer(int) { StopPageTimer(); }

void PostWindowMessage(unsigned message, std::uintptr_t wParam) {
    PostPageMessage(message, static_cast<unsigned>(wParam));
}

void PostQuit(int exitCode) {
    FrontEnd.quitRequested = true;
    FrontEnd.exitCode = exitCode;
}

// The picture's corner in the page, in game pixels; it changes with the drag.
ScreenPoint WindowOrigin() { return ScreenPoint{PictureLeft(), PictureTop()}; }

}  // namespace platform

int main() {
    OpenPage();
    LoadTextFont();
    RegisterSounds();
    FrontEnd.active = true;  // the page opens with the focus; a blur says otherwise
    Deliver(msg::Create, 0, 0);
    if (StartUp() != 0) {
        NoteFirstPicture();
        PageEvent event;
        while (!FrontEnd.quitRequested) {
            NextPageEvent(event);
            DeliverGameEvent(event);
        }
    }
    platform::StopTimer(FrontEnd.timerId);
    ShowGameEnded(FrontEnd.exitCode);
    return FrontEnd.exitCode;
}
