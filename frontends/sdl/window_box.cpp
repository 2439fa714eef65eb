// The message box drawn inside the game window, for when no system box can
// be shown (no helper program on Wayland, an X server that refuses the box's
// connection): a caption, the text, the buttons of the asked kind, Return,
// Escape, Tab and the mouse as on a system box. Answers as that box would;
// what an answer means is the game's.
#include <cstring>

#include "seam/messages.h"
#include "seam/platform.h"
#include "frontends/sdl/dialog_look.h"
#include "frontends/sdl/message_box.h"

namespace {

constexpr int MaxLines = 8;
constexpr int TextRoom = 1024;
constexpr int Margin = 12;          // around the text and below the buttons
constexpr int CaptionStrip = 18;    // the box's own caption, in pixels
constexpr int ButtonWidth = 75, ButtonHeight = 23, ButtonGap = 8;
constexpr int WidestBox = WindowWidth - 2 * FrameSide - 16;
constexpr int NarrowestBox = 180;

struct WindowBox {
    const BoxKind* kind;
    char text[TextRoom];        // Windows-1252, terminated
    char caption[256];
    int lineStart[MaxLines];    // each line's first byte in text
    int lineLength[MaxLines];
    int lines;
    SDL_Rect frame;             // outer rectangle, game pixels
    SDL_Rect buttons[2];
    int focus;                  // index of the focused button
    int pressed;                // button held by the mouse, -1 for none
    int answer;                 // 0 while the box is open
};

WindowBox Box;

// Breaks the text into lines at spaces and line breaks, each at most `room`
// pixels wide unless one word alone is wider.
void WrapText(int room) {
    Box.lines = 0;
    const int length = static_cast<int>(std::strlen(Box.text));
    int start = 0;
    while (start < length && Box.lines < MaxLines) {
        int end = -1;      // where the line ends: at a space, a line break or the text's end
        int next = start;  // the end of the word being tried
        for (;;) {
            while (next < length && Box.text[next] != ' ' && Box.text[next] != '\n') ++next;
            if (end >= 0 && TextWidth1252(Box.text + start, next - start) > room) break;
            end = next;
            if (next >= length || Box.text[next] == '\n') break;
            ++next;
        }
        Box.lineStart[Box.lines] = start;
        Box.lineLength[Box.lines] = end - start;
        ++Box.lines;
        start = end + 1;  // past the space or the line break
    }
}

void Layout() {
    WrapText(WidestBox - 2 * Margin);
    int widest = TextWidth1252(Box.caption, static_cast<int>(std::strlen(Box.caption))) + 2 * Margin;
    for (int i = 0; i < Box.lines; ++i) {
        const int w = TextWidth1252(Box.text + Box.lineStart[i], Box.lineLength[i]);
        if (w > widest) widest = w;
    }
    const int count = Box.kind->count;
    const int row = count * ButtonWidth + (count - 1) * ButtonGap;
    int width = (widest > row ? widest : row) + 2 * Margin;
    if (width < NarrowestBox) width = NarrowestBox;
    if (width > WidestBox) width = WidestBox;
    const int height = 3 + CaptionStrip + Margin + Box.lines * LineHeight() + Margin + ButtonHeight + Margin + 3;
    Box.frame = SDL_Rect{(WindowWidth - width) / 2, (WindowHeight - height) / 2, width, height};
    const int buttonsX = Box.frame.x + (width - row) / 2;
    const int buttonsY = Box.frame.y + height - 3 - Margin - ButtonHeight;
    for (int i = 0; i < count; ++i) {
        Box.buttons[i] = SDL_Rect{buttonsX + i * (ButtonWidth + ButtonGap), buttonsY, ButtonWidth, ButtonHeight};
    }
}

void Answer(int index) { Box.answer = Box.kind->choices[index].answer; }

void HandleKey(const SDL_KeyboardEvent& key) {
    const int count = Box.kind->count;
    switch (key.keysym.sym) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
    case SDLK_SPACE:
        Answer(Box.focus);
        break;
    case SDLK_ESCAPE:
        for (int i = 0; i < count; ++i) {
            if (Box.kind->choices[i].onEscape) Answer(i);
        }
        break;
    case SDLK_TAB:
    case SDLK_RIGHT:
        Box.focus = (Box.focus + 1) % count;
        break;
    case SDLK_LEFT:
        Box.focus = (Box.focus + count - 1) % count;
        break;
    default:
        break;
    }
}

void HandleButton(const SDL_MouseButtonEvent& button) {
    if (button.button != SDL_BUTTON_LEFT) return;
    const int x = GamePixel(button.x), y = GamePixel(button.y);
    if (button.type == SDL_MOUSEBUTTONDOWN) {
        for (int i = 0; i < Box.kind->count; ++i) {
            if (Inside(Box.buttons[i], x, y)) Box.pressed = Box.focus = i;
        }
        return;
    }
    const int held = Box.pressed;
    Box.pressed = -1;
    if (held >= 0 && Inside(Box.buttons[held], x, y)) Answer(held);
}

}  // namespace

void DrawWindowBox() {
    if (!FrontEnd.boxOpen) return;
    const SDL_Rect& f = Box.frame;
    DrawDialogFace(f);
    const SDL_Rect strip = {f.x + 3, f.y + 3, f.w - 6, CaptionStrip};
    Fill(strip, Light);
    Fill(SDL_Rect{strip.x, strip.y + strip.h - 1, strip.w, 1}, Shadow);
    DrawText1252(strip.x + 5, strip.y + (CaptionStrip - LineHeight()) / 2, Box.caption,
                 static_cast<int>(std::strlen(Box.caption)));
    int y = f.y + 3 + CaptionStrip + Margin;
    for (int i = 0; i < Box.lines; ++i, y += LineHeight()) {
        DrawText1252(f.x + Margin, y, Box.text + Box.lineStart[i], Box.lineLength[i]);
    }
    for (int i = 0; i < Box.kind->count; ++i) {
        DrawPushButton(Box.buttons[i], Box.kind->choices[i].label, i == Box.focus, Box.pressed == i, i == Box.focus);
    }
    MarkDrawn(f);
}

int RunWindowBox(const char* text, const char* caption, const BoxKind& kind) {
    if (FrontEnd.window == nullptr || FrontEnd.boxOpen || GameSurface() == nullptr) return platform::Failed;
    Box.kind = &kind;
    SDL_strlcpy(Box.text, text, sizeof Box.text);
    SDL_strlcpy(Box.caption, caption, sizeof Box.caption);
    Box.focus = 0;
    for (int i = 0; i < kind.count; ++i) {
        if (kind.choices[i].onReturn) Box.focus = i;
    }
    Box.pressed = -1;
    Box.answer = 0;
    Layout();
    FrontEnd.boxOpen = true;
    DrawWindowBox();
    ShowSurface();
    SDL_Event event;
    while (Box.answer == 0 && !FrontEnd.quitRequested && SDL_WaitEvent(&event)) {
        // Paint, activation, timer, posted and quit messages still reach the game.
        if (DeliverWindowEvent(event)) continue;
        if (event.type == SDL_KEYDOWN) HandleKey(event.key);
        if (event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP) HandleButton(event.button);
        if (Box.answer != 0) break;
        DrawWindowBox();
        ShowSurface();
    }
    FrontEnd.boxOpen = false;
    // What the box covered is painted anew once the game has gone on, as a
    // window system repaints what a closed box uncovers.
    platform::PostWindowMessage(msg::Paint, 0);
    return Box.answer != 0 ? Box.answer : kind.closed;
}
