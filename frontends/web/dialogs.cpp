// The modal message box and the name dialog, shown by the page as HTML
// dialogs over the canvas. While one is open its own loop waits for the
// player's answer and still hands ticks, posted messages and focus changes
// to the game, as a desktop's modal loop does; keys and clicks on the canvas
// do not reach the game then. What the name dialog's buttons do is the
// game's NameEntryDialogProc.
#include <emscripten.h>

#include <cstring>

#include "frontends/web/web_front_end.h"
#include "seam/game_entry.h"
#include "seam/platform.h"

namespace {

// More than the 13 characters the input holds, even were each one '?'.
constexpr int NameRoom = 64;
char TypedName[NameRoom];

// clang-format off
EM_JS(int, OpenBox, (const char* text, const char* caption, int buttons), {
    return QV.openBox(QV.from1252(HEAPU8.subarray(text, text + HEAPU8.indexOf(0, text) - text)),
                      QV.from1252(HEAPU8.subarray(caption, caption + HEAPU8.indexOf(0, caption) - caption)),
                      buttons);
});
EM_JS(int, OpenNameDialog, (), { return QV.openNameDialog(); });
EM_JS(void, CloseNameDialog, (), { QV.closeNameDialog(); });
EM_JS(void, ReadTypedName, (char* into, int room), {
    const bytes = QV.to1252(QV.typedName());
    const length = Math.min(bytes.length, room - 1);
    HEAPU8.set(bytes.subarray(0, length), into);
    HEAPU8[into + length] = 0;
});
// clang-format on

}  // namespace

namespace platform {

int ShowMessageBox(const char* text, const char* caption, int buttons) {
    // A table checked for loading writes nothing, so no write can fail and
    // ask; should one ask all the same, the answer gives up.
    if (FrontEnd.checkingOnly) return AnswerCancel;
    if (!OpenBox(text, caption, buttons)) return Failed;
    PageEvent event;
    for (;;) {
        NextPageEvent(event);
        if (event.type == AnswerEvent) return event.a;
        DeliverWindowEvent(event);
    }
}

int RunNameDialog() {
    if (!OpenNameDialog()) return 0;
    FrontEnd.dialogEnding = false;
    PageEvent event;
    while (!FrontEnd.dialogEnding) {
        NextPageEvent(event);
        if (event.type == CommandEvent) {
            ReadTypedName(TypedName, NameRoom);
            NameEntryDialogProc(event.a, TypedName);
        } else {
            DeliverWindowEvent(event);
        }
    }
    CloseNameDialog();
    return 1;
}

void EndNameDialog() { FrontEnd.dialogEnding = true; }

}  // namespace platform
