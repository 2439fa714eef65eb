// frontends/web holds the page: the seam on the browser's canvas, WebAudio,
// storage and dialogs, built with emscripten.
// The web front-end's own record and the helpers its files share: the page's
// events as they reach the wasm, the loop's flags and the file steps' check
// mode. Only frontends/web includes this; nothing here knows a game rule.
// The browser side of every crossing lives in page/page.js (the object QV);
// the EM_JS bodies here only move bytes and numbers across.
#pragma once

#include <cstdint>

// What the page queues for the wasm, in the order it happened.
enum PageEventType : int {
    NoEvent = 0,
    TickEvent = 1,      // a fall-timer tick; stale ticks never arrive
    PostedEvent = 2,    // a = message, b = wParam
    KeyEvent = 3,       // a = virtual-key code
    PressEvent = 4,     // a, b = game pixel of a left-button press on the canvas
    ReleaseEvent = 5,   // a, b = game pixel of the release
    FocusEvent = 6,     // a = 1 the page got the focus back, 0 it lost it or was hidden
    UnfoldEvent = 7,    // the folded picture was opened by a click on its caption
    AnswerEvent = 8,    // a = a message box's answer
    CommandEvent = 9,   // a = the name dialog's button id
};

struct PageEvent {
    int type;  // a PageEventType
    int a;
    int b;
};

struct WebFrontEnd {
    bool quitRequested;  // PostQuit has been called
    int exitCode;        // what PostQuit asked for
    bool active;         // has the focus, as last told to the game
    bool dialogEnding;   // EndNameDialog has been called for the open dialog
    bool checkingOnly;   // the file steps read a candidate table and write nothing
    int timerId;         // the game's identity of the fall timer
};

extern WebFrontEnd FrontEnd;

// Waits (the wasm sleeps, the page runs) until the page has queued an event
// and takes it.
void NextPageEvent(PageEvent& event);
// Hands one message to the game's window procedure and notes the moment its
// picture is complete.
void Deliver(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
// Delivers the events that reach the game whatever holds the input: ticks,
// posted messages, focus and unfolding. False for the others.
bool DeliverWindowEvent(const PageEvent& event);
// Hands the nine WAVE cues' bytes to the page, which decodes them once the
// player's first key or click has started the sound.
void RegisterSounds();
// Starts decoding the font; the first text waits for it.
void LoadTextFont();
// Keeps the bytes of a table offered for loading, which the file steps read
// in place of VORN.DAT while FrontEnd.checkingOnly is set.
void OfferCandidateTable(const unsigned char* bytes, int length);
