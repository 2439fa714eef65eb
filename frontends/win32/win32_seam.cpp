// The platform seam on Windows: the game's drawing, text, sound, timer, posted
// messages and message boxes, each one call of user32, gdi32 or winmm on the
// handles that WinMain keeps. Decides nothing about the game.
#include <windows.h>
#include <mmsystem.h>

#include "seam/platform.h"
#include "frontends/win32/win32_handles.h"
#include "frontends/win32/window_scale.h"

namespace platform {

void LoadCatalogueImage(ImageId id, const char* name) {
    if (!IsImageSlot(id)) return;
    CatalogueBitmaps[id] = LoadBitmapA(AppInstance, name);
}

void FreeCatalogueImage(ImageId id) {
    if (!IsImageSlot(id) || CatalogueBitmaps[id] == nullptr) return;
    DeleteObject(CatalogueBitmaps[id]);
    CatalogueBitmaps[id] = nullptr;
}

void ReleaseSurfaces() { ReleaseWindowSurfaces(); }

void SelectTextFont() { SelectObject(WindowDC, GetStockObject(ANSI_VAR_FONT)); }

void CopyImage(ImageId id, int x, int y, int w, int h) {
    if (!IsImageSlot(id)) return;
    SelectObject(MemoryDC, CatalogueBitmaps[id]);
    BitBlt(WindowDC, x, y, w, h, MemoryDC, 0, 0, SRCCOPY);
    NotePictureChanged();
}

TextSize MeasureText(const char* text) {
    SIZE size = {0, 0};
    GetTextExtentPoint32A(WindowDC, text, lstrlenA(text), &size);
    return {static_cast<int>(size.cx), static_cast<int>(size.cy)};
}

void WriteText(int x, int y, const char* text) {
    SetBkMode(WindowDC, TRANSPARENT);
    TextOutA(WindowDC, x, y, text, lstrlenA(text));
    NotePictureChanged();
}

// Without a sound device PlaySoundA fails at once, in either mode. A waiting
// sound stops the program: the player sees meanwhile what has been drawn.
void PlayWave(int cue, bool wait) {
    if (wait) ShowPicture();
    const DWORD flags = SND_RESOURCE | (wait ? 0 : SND_ASYNC);
    PlaySoundA(MAKEINTRESOURCEA(cue), AppInstance, flags);
}

void ArmTimer(int id, int periodMs) {
    SetTimer(MainWindow, static_cast<UINT_PTR>(id), static_cast<UINT>(periodMs), nullptr);
}

void StopTimer(int id) { KillTimer(MainWindow, static_cast<UINT_PTR>(id)); }

void PostWindowMessage(unsigned message, std::uintptr_t wParam) {
    PostMessageA(MainWindow, message, static_cast<WPARAM>(wParam), 0);
}

void PostQuit(int exitCode) {
    QuitRequested = true;
    QuitCode = exitCode;
    PostQuitMessage(exitCode);
}

int ShowMessageBox(const char* text, const char* caption, int buttons) {
    ShowPicture();
    return MessageBoxA(MainWindow, text, caption, static_cast<UINT>(buttons));
}

ScreenPoint WindowOrigin() {
    RECT outer = {0, 0, 0, 0};
    GetWindowRect(MainWindow, &outer);
    return {static_cast<int>(outer.left), static_cast<int>(outer.top)};
}

}  // namespace platform
