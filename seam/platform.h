// seam/ holds the contracts between the game and the machine: this seam, the
// score file's steps, the window's geometry and messages, and the game's entry.
// The platform seam: everything the game asks of the machine, nothing more.
// Implemented once per front-end (frontends/sdl, frontends/win32) and once as a
// recorder for the tests; the executable picks one at link time. Nothing above
// this header includes SDL or windows.h, and nothing here knows a game rule.
#pragma once

#include <cstdint>

namespace platform {

// Catalogue images are numbered by the game (render/image_catalogue.h); the
// platform only keeps what it loaded under that number.
using ImageId = int;

struct TextSize {
    int cx;  // width in pixels
    int cy;  // height in pixels
};

struct ScreenPoint {
    int x;
    int y;
};

// Button sets and answers of a message box, with the values the Windows
// message box uses, so that either front-end answers in the same terms.
enum MessageButtons : int { Ok = 0, YesNo = 4, RetryCancel = 5 };
enum MessageAnswer : int { Failed = 0, AnswerOk = 1, AnswerCancel = 2, AnswerRetry = 4, AnswerYes = 6, AnswerNo = 7 };

// Loads resource image `name` and keeps it as `id`. Failures are not reported:
// the images are the program's own and always present.
void LoadCatalogueImage(ImageId id, const char* name);
// Releases image `id` once. Never called while the memory surface is alive.
void FreeCatalogueImage(ImageId id);
// Releases the whole-window surface, then deletes the memory surface.
void ReleaseSurfaces();
// Selects the one proportional text font into the window surface.
void SelectTextFont();
// Copies w by h pixels of image `id`, from its own 0,0, to window point x,y.
void CopyImage(ImageId id, int x, int y, int w, int h);
// Measures `text` (bytes in the Windows ANSI code page) in the text font.
TextSize MeasureText(const char* text);
// Writes `text` with its top-left corner at x,y: black, transparent background.
void WriteText(int x, int y, const char* text);
// Plays WAVE resource `cue` (801 to 809), cutting off any sound still playing.
// With `wait` the call returns when the sound has ended, else at once. Without
// a sound device it returns at once in either mode.
void PlayWave(int cue, bool wait);
// Arms (or re-arms with a new period) window timer `id`; its ticks arrive as
// timer messages, at most one of them pending.
void ArmTimer(int id, int periodMs);
// Stops window timer `id`; a stopped timer sends nothing more.
void StopTimer(int id);
// Queues `message` (a window message number) with wParam for the window; it is
// handled after the message being handled now.
void PostWindowMessage(unsigned message, std::uintptr_t wParam);
// Asks the message loop to end once the message being handled returns.
void PostQuit(int exitCode);
// Shows a modal message box owned by the window; returns the answer, or
// Failed when no box could be shown.
int ShowMessageBox(const char* text, const char* caption, int buttons);
// Runs the modal name dialog; returns when the dialog has been ended. Its
// buttons call the game's name-entry procedure. Returns 0 if it could not open.
int RunNameDialog();
// Ends the open name dialog (it closes once the procedure has returned).
void EndNameDialog();
// The window's outer top-left corner, in screen pixels.
ScreenPoint WindowOrigin();
// The current time in seconds, as the clock counts it for seeding.
std::int64_t TimeSeconds();

}  // namespace platform
