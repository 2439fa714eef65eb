// The name dialog drawn inside the game window: two texts, the edit box and
// the two buttons of the "ScoreDB" template, with the keyboard and mouse a
// Windows dialog has. What the buttons do is the game's NameEntryDialogProc.
#include <cstring>

#include "seam/platform.h"
#include "frontends/sdl/codepage.h"
#include "frontends/sdl/dialog_look.h"
#include "frontends/sdl/front_end.h"
#include "seam/game_entry.h"
#include "seam/messages.h"

namespace {

enum class ControlKind { DefaultButton, Button, Label, Edit };

struct TemplateControl {
    int id;  // -1 for the texts
    ControlKind kind;
    const char* text;
    int x, y, width, height;  // dialog units, from the dialog's client corner
    bool tabStop;
};

// In template order, which is also the tab order.
constexpr TemplateControl Controls[] = {
    {NameDialogPlayAgain, ControlKind::DefaultButton, SCOREDB_PLAY_AGAIN_TEXT, SCOREDB_PLAY_AGAIN_PLACE, true},
    {NameDialogQuitGame, ControlKind::Button, SCOREDB_QUIT_GAME_TEXT, SCOREDB_QUIT_GAME_PLACE, true},
    {-1, ControlKind::Label, SCOREDB_HEADING_TEXT, SCOREDB_HEADING_PLACE, false},
    {-1, ControlKind::Label, SCOREDB_PROMPT_TEXT, SCOREDB_PROMPT_PLACE, false},
    {NameDialogEdit, ControlKind::Edit, "", SCOREDB_EDIT_PLACE, true},
};
constexpr int ControlCount = sizeof Controls / sizeof Controls[0];
constexpr int PlayAgainIndex = 0;
constexpr int QuitGameIndex = 1;
constexpr int EditIndex = 4;

// The dialog's place and size in dialog units, from the client area's corner.
struct DialogPlace {
    int x, y, width, height;
};
constexpr DialogPlace Place = {SCOREDB_PLACE};
constexpr int ModalFrame = 3;  // pixels of raised frame around the dialog's face
constexpr int CancelId = 2;    // what Escape sends; the procedure ignores it

// Room for what the player types; more than any name the table keeps.
constexpr int EditRoom = 32 * 1024;

struct NameDialog {
    SDL_Rect frame;                  // outer rectangle, window pixels
    SDL_Rect places[ControlCount];   // each control, window pixels
    int focus;                       // index of the control with the keyboard focus
    int pressed;                     // button held by the mouse, -1 for none
    char text[EditRoom];             // the edit box, Windows-1252 bytes, terminated
    int length;
    int caret;                       // insertion point, in bytes
    int firstShown;                  // first byte the edit box shows (horizontal scroll)
};

NameDialog Dialog;

int DialogUnitsX(int units, int baseX) { return units * baseX / 4; }
int DialogUnitsY(int units, int baseY) { return units * baseY / 8; }

SDL_Rect EditInterior() { return Inset(Dialog.places[EditIndex], 2); }

// Keeps the caret inside the visible part of the edit box.
void ScrollToCaret() {
    const int room = EditInterior().w - 3;
    if (Dialog.caret < Dialog.firstShown) Dialog.firstShown = Dialog.caret;
    while (Dialog.firstShown < Dialog.caret &&
           TextWidth1252(Dialog.text + Dialog.firstShown, Dialog.caret - Dialog.firstShown) > room) {
        Dialog.firstShown += (Dialog.caret - Dialog.firstShown) > 64 ? Dialog.caret - Dialog.firstShown - 64 : 1;
    }
}

// The default look goes to the focused button, or to "Play again" otherwise.
int DefaultLookIndex() { return Dialog.focus == QuitGameIndex ? QuitGameIndex : PlayAgainIndex; }

void DrawButton(int index) {
    DrawPushButton(Dialog.places[index], Controls[index].text, index == DefaultLookIndex(), Dialog.pressed == index,
                   Dialog.focus == index);
}

void DrawEdit() {
    const SDL_Rect r = Dialog.places[EditIndex];
    Ring(r, Shadow, White);
    Ring(Inset(r, 1), Black, Light);
    const SDL_Rect inner = EditInterior();
    Fill(inner, White);
    SDL_Surface* surface = GameSurface();
    SDL_SetClipRect(surface, &inner);
    const int y = inner.y + (inner.h - LineHeight()) / 2;
    // Enough bytes to fill the box; the rest is beyond its right edge.
    const int shown = Dialog.length - Dialog.firstShown < 256 ? Dialog.length - Dialog.firstShown : 256;
    DrawText1252(inner.x + 1, y, Dialog.text + Dialog.firstShown, shown);
    if (Dialog.focus == EditIndex) {
        const int caretX = inner.x + 1 + TextWidth1252(Dialog.text + Dialog.firstShown, Dialog.caret - Dialog.firstShown);
        Fill(SDL_Rect{caretX, y, 1, LineHeight()}, Black);
    }
    SDL_SetClipRect(surface, nullptr);
}

void MoveFocus(int step) {
    int index = Dialog.focus;
    do {
        index = (index + step + ControlCount) % ControlCount;
    } while (!Controls[index].tabStop);
    Dialog.focus = index;
}

// The button's command goes to the game's procedure with the whole text.
void Command(int id) { NameEntryDialogProc(id, Dialog.text); }

void Insert(const char* bytes, int count) {
    if (count <= 0 || Dialog.length + count > EditRoom - 1) return;
    std::memmove(Dialog.text + Dialog.caret + count, Dialog.text + Dialog.caret,
                 static_cast<std::size_t>(Dialog.length - Dialog.caret + 1));
    std::memcpy(Dialog.text + Dialog.caret, bytes, static_cast<std::size_t>(count));
    Dialog.length += count;
    Dialog.caret += count;
}

void Erase(int at) {
    if (at < 0 || at >= Dialog.length) return;
    std::memmove(Dialog.text + at, Dialog.text + at + 1, static_cast<std::size_t>(Dialog.length - at));
    --Dialog.length;
    if (Dialog.caret > at) --Dialog.caret;
}

void EditKey(SDL_Keycode key) {
    switch (key) {
    case SDLK_BACKSPACE: Erase(Dialog.caret - 1); break;
    case SDLK_DELETE: Erase(Dialog.caret); break;
    case SDLK_LEFT: if (Dialog.caret > 0) --Dialog.caret; break;
    case SDLK_RIGHT: if (Dialog.caret < Dialog.length) ++Dialog.caret; break;
    case SDLK_HOME: Dialog.caret = 0; break;
    case SDLK_END: Dialog.caret = Dialog.length; break;
    default: break;
    }
}

void HandleKey(const SDL_KeyboardEvent& key) {
    switch (key.keysym.sym) {
    case SDLK_TAB:
        MoveFocus((key.keysym.mod & KMOD_SHIFT) != 0 ? -1 : 1);
        break;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        Command(Dialog.focus == QuitGameIndex ? NameDialogQuitGame : NameDialogPlayAgain);
        break;
    case SDLK_ESCAPE:
        Command(CancelId);
        break;
    case SDLK_SPACE:
        if (Dialog.focus != EditIndex) Command(Controls[Dialog.focus].id);
        break;
    default:
        if (Dialog.focus == EditIndex) EditKey(key.keysym.sym);
        break;
    }
}

// The caret goes before the character nearest to the click.
void PlaceCaret(int x) {
    const int offset = x - (EditInterior().x + 1);
    int at = Dialog.firstShown;
    while (at < Dialog.length) {
        const int before = TextWidth1252(Dialog.text + Dialog.firstShown, at - Dialog.firstShown);
        const int after = TextWidth1252(Dialog.text + Dialog.firstShown, at + 1 - Dialog.firstShown);
        if (offset < (before + after) / 2) break;
        ++at;
    }
    Dialog.caret = at;
}

void HandleButton(const SDL_MouseButtonEvent& button) {
    if (button.button != SDL_BUTTON_LEFT) return;
    if (button.type == SDL_MOUSEBUTTONDOWN) {
        for (int i = 0; i < ControlCount; ++i) {
            if (!Controls[i].tabStop || !Inside(Dialog.places[i], button.x, button.y)) continue;
            Dialog.focus = i;
            if (i == EditIndex) {
                PlaceCaret(button.x);
            } else {
                Dialog.pressed = i;
            }
        }
        return;
    }
    const int held = Dialog.pressed;
    Dialog.pressed = -1;
    if (held >= 0 && Inside(Dialog.places[held], button.x, button.y)) Command(Controls[held].id);
}

void HandleDialogEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_KEYDOWN:
        HandleKey(event.key);
        break;
    case SDL_TEXTINPUT:
        if (Dialog.focus == EditIndex) {
            char bytes[SDL_TEXTINPUTEVENT_TEXT_SIZE];
            Insert(bytes, static_cast<int>(Cp1252FromUtf8(event.text.text, bytes, sizeof bytes)));
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        SDL_MouseButtonEvent button = event.button;
        button.x = GamePixel(button.x);
        button.y = GamePixel(button.y);
        HandleButton(button);
        break;
    }
    default:
        break;
    }
}

void Layout() {
    int baseX = 0, baseY = 0;
    DialogBaseUnits(&baseX, &baseY);
    const int faceX = FrameSide + DialogUnitsX(Place.x, baseX);
    const int faceY = CaptionHeight + DialogUnitsY(Place.y, baseY);
    Dialog.frame = SDL_Rect{faceX - ModalFrame, faceY - ModalFrame, DialogUnitsX(Place.width, baseX) + 2 * ModalFrame,
                            DialogUnitsY(Place.height, baseY) + 2 * ModalFrame};
    for (int i = 0; i < ControlCount; ++i) {
        const TemplateControl& c = Controls[i];
        Dialog.places[i] = SDL_Rect{faceX + DialogUnitsX(c.x, baseX), faceY + DialogUnitsY(c.y, baseY),
                                    DialogUnitsX(c.width, baseX), DialogUnitsY(c.height, baseY)};
    }
}

}  // namespace

void DrawNameDialog() {
    if (!FrontEnd.dialogOpen) return;
    const SDL_Rect& f = Dialog.frame;
    DrawDialogFace(f);
    for (int i = 0; i < ControlCount; ++i) {
        const TemplateControl& control = Controls[i];
        if (control.kind == ControlKind::Label) {
            DrawText1252(Dialog.places[i].x, Dialog.places[i].y, control.text, static_cast<int>(std::strlen(control.text)));
        } else if (control.kind == ControlKind::Edit) {
            DrawEdit();
        } else {
            DrawButton(i);
        }
    }
    MarkDrawn(f);
}

namespace platform {

int RunNameDialog() {
    if (FrontEnd.window == nullptr || FrontEnd.dialogOpen) return 0;
    Layout();
    Dialog.focus = EditIndex;  // the player types the name at once
    Dialog.pressed = -1;
    Dialog.text[0] = '\0';
    Dialog.length = Dialog.caret = Dialog.firstShown = 0;
    FrontEnd.dialogOpen = true;
    FrontEnd.dialogEnding = false;
    SDL_StartTextInput();
    DrawNameDialog();
    ShowSurface();
    SDL_Event event;
    while (!FrontEnd.dialogEnding && !FrontEnd.quitRequested && SDL_WaitEvent(&event)) {
        // Paint, activation, timer and posted messages still reach the game.
        if (DeliverWindowEvent(event)) continue;
        HandleDialogEvent(event);
        if (FrontEnd.dialogEnding) break;
        ScrollToCaret();
        DrawNameDialog();
        ShowSurface();
    }
    FrontEnd.dialogOpen = false;
    ShowSurface();
    // What the dialog covered is painted anew once the game has gone on, as a
    // window system repaints what a closed dialog uncovers.
    PostWindowMessage(msg::Paint, 0);
    return 1;
}

void EndNameDialog() { FrontEnd.dialogEnding = true; }

}  // namespace platform
